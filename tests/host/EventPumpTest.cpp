#include "core/host/EventPump.h"
#include "core/host/VirtualHost.h"

#include <gtest/gtest.h>

namespace qvd {
namespace {

TEST(DelayWithEvents, EndsWhenMoreThanTheWaitHasPassed) {
    struct Case { uint32_t startTick, ms, expectedAdvance; };
    const Case cases[] = {
        {1000, 0, 1}, {1000, 90, 91},
        {0xFFFFFFF0u, 30, 32},  // after the tick count wraps, the count is one short
    };
    for (const Case& c : cases) {
        VirtualHost host(c.startTick);
        EventPump pump(host);
        bool dispatched = false;
        host.Post([&] { dispatched = true; });
        const uint64_t before = host.Time();
        pump.DelayWithEvents(c.ms);
        EXPECT_EQ(host.Time() - before, c.expectedAdvance) << c.ms;
        EXPECT_TRUE(dispatched);
    }
}

}  // namespace
}  // namespace qvd
