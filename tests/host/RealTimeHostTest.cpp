// The real-time host: waits sleep instead of spinning, posts from other
// threads end a wait early, wake-ups arrive when due. Bounds are generous.
#include "core/host/EventPump.h"
#include "core/host/RealTimeHost.h"
#include "support/RealTime.h"

#include <gtest/gtest.h>

#include <thread>

namespace qvd::test {
namespace {

TEST(RealTimeHost, PostFromAnotherThreadEndsTheWaitAndRunsOnTheWaitingThread) {
    RealTimeHost host;
    std::thread::id ranOn;
    std::thread poster([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        host.Post([&] { ranOn = std::this_thread::get_id(); });
    });
    const auto start = Clock::now();
    host.WaitAndDispatch(host.TickCount() + 20000);
    poster.join();
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_LT(MsSince(start), 10000);
}

TEST(RealTimeHost, WakeHandlerRunsWhenDueAndOnce) {
    RealTimeHost host;
    int wakes = 0;
    uint32_t wokeAfter = 0;
    const uint32_t start = host.TickCount();
    host.SetWakeHandler([&] { ++wakes, wokeAfter = host.TickCount() - start; });
    host.ScheduleWake(start + 150);
    host.WaitAndDispatch(start + 20000);
    host.RunFor(100);
    EXPECT_EQ(wakes, 1);
    EXPECT_GE(wokeAfter, 150u);
    EXPECT_LT(wokeAfter, 10000u);
}

// Also covers the idle wait: it must sleep until the deadline, not spin.
TEST(RealTimeHost, DelayWithEventsRunsTimerTicksWithoutSpinning) {
    RealTimeHost host;
    EventPump pump(host);
    Timer timer(pump, 50);
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    timer.SetEnabled(true);
    const uint32_t start = host.TickCount();
    EXPECT_LT(CpuShare([&] { pump.DelayWithEvents(400); }), 0.05);
    EXPECT_GT(host.TickCount() - start, 400u);
    EXPECT_GE(ticks, 1);
    EXPECT_LE(ticks, 9);
}

TEST(RealTimeHost, CloseRequestComesThroughTheQueueAndAThrowingCallbackLeavesTheOthersQueued) {
    RealTimeHost host;
    int seen = 0, ran = 0;
    host.onCloseRequest = [&] { ++seen; };
    host.CloseMainWindow();
    EXPECT_EQ(seen, 0);  // never synchronously
    EXPECT_TRUE(host.RunUntil([&] { return seen == 1; }, 5000));
    EXPECT_EQ(host.closeRequests, 1);
    host.Post([] { throw std::runtime_error("boom"); });
    host.Post([&] { ++ran; });
    EXPECT_THROW(host.WaitAndDispatch(host.TickCount()), std::runtime_error);
    host.WaitAndDispatch(host.TickCount());
    EXPECT_EQ(ran, 1);
}

}  // namespace
}  // namespace qvd::test
