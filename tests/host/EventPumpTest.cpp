#include "core/host/EventPump.h"
#include "core/host/VirtualHost.h"

#include <gtest/gtest.h>

namespace qvd {
namespace {

TEST(DelayWithEvents, EndsWhenMoreThanTheWaitHasPassed) {
    // After the tick count wraps, the count is one short.
    for (auto [startTick, ms, advance] : {std::tuple<uint32_t, uint32_t, uint64_t>{1000, 0, 1}, {1000, 90, 91}, {0xFFFFFFF0u, 30, 32}}) {
        VirtualHost host(startTick);
        EventPump pump(host);
        bool dispatched = false;
        host.Post([&] { dispatched = true; });
        const uint64_t before = host.Time();
        pump.DelayWithEvents(ms);
        EXPECT_EQ(host.Time() - before, advance) << ms;
        EXPECT_TRUE(dispatched);
    }
}

}  // namespace
}  // namespace qvd
