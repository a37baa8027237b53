#include "core/host/EventPump.h"
#include "core/host/VirtualHost.h"

#include <gtest/gtest.h>

namespace qvd {
namespace {

TEST(ElapsedTicks, CountsAcrossTheWrap) {
    EXPECT_EQ(ElapsedTicks(100, 150), 50u);
    EXPECT_EQ(ElapsedTicks(0xFFFFFFF0u, 0xFFFFFFF0u), 0u);
    // After the wrap the count is one short of the distance.
    EXPECT_EQ(ElapsedTicks(0xFFFFFFF0u, 5), 20u);
}

TEST(DelayWithEvents, EndsWhenMoreThanTheWaitHasPassed) {
    struct Case { uint32_t startTick, ms, expectedAdvance; };
    const Case cases[] = {
        {1000, 0, 1}, {1000, 1, 2}, {1000, 90, 91},
        {0xFFFFFFF0u, 30, 32},  // crossing the wrap costs one tick more
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

TEST(Timer, TicksRunNestedInsideAWait) {
    VirtualHost host;
    EventPump pump(host);
    Timer timer(pump, 1000);
    std::vector<uint64_t> ticks;
    int depth = 0, maxDepth = 0;
    timer.OnTimer = [&] {
        ticks.push_back(host.Time());
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        if (ticks.size() == 1) pump.DelayWithEvents(3000);  // like the pause after an error reset
        --depth;
    };
    const uint64_t start = host.Time();
    timer.SetEnabled(true);
    host.RunFor(4500);
    ASSERT_GE(ticks.size(), 4u);
    EXPECT_EQ(ticks[0] - start, 1000u);
    EXPECT_EQ(ticks[1] - start, 2000u);
    EXPECT_EQ(maxDepth, 2);
}

TEST(Timer, DisabledTimerStaysQuietAndRestartsItsCount) {
    VirtualHost host;
    EventPump pump(host);
    Timer timer(pump, 1000);
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    timer.SetEnabled(true);
    host.RunFor(900);
    timer.SetEnabled(false);
    host.RunFor(5000);
    EXPECT_EQ(ticks, 0);
    timer.SetEnabled(true);
    host.RunFor(999);
    EXPECT_EQ(ticks, 0);
    host.RunFor(1);
    EXPECT_EQ(ticks, 1);
    timer.SetInterval(100);
    host.RunFor(1000);
    EXPECT_EQ(ticks, 11);
}

}  // namespace
}  // namespace qvd
