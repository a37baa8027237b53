// The real-time host: waits sleep instead of spinning, posts from other
// threads end a wait early, wake-ups arrive when due. Bounds are generous.
#include "core/host/EventPump.h"
#include "core/host/RealTimeHost.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <thread>

namespace qvd {
namespace {

double CpuMs() {
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

TEST(RealTimeHost, PostFromAnotherThreadEndsTheWaitAndRunsOnTheWaitingThread) {
    RealTimeHost host;
    std::thread::id ranOn;
    std::thread poster([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        host.Post([&] { ranOn = std::this_thread::get_id(); });
    });
    const uint32_t start = host.TickCount();
    host.WaitAndDispatch(start + 20000);
    const uint32_t waited = host.TickCount() - start;
    poster.join();
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_LT(waited, 10000u);
}

TEST(RealTimeHost, IdleWaitSleepsUntilTheDeadline) {
    RealTimeHost host;
    const double cpu = CpuMs();
    const uint32_t start = host.TickCount();
    host.WaitAndDispatch(start + 300);
    const uint32_t waited = host.TickCount() - start;
    EXPECT_GE(waited, 300u);
    EXPECT_LT(CpuMs() - cpu, 0.05 * waited);
}

TEST(RealTimeHost, WakeHandlerRunsWhenDueAndNotBefore) {
    RealTimeHost host;
    uint32_t wokeAt = 0;
    host.SetWakeHandler([&] { wokeAt = host.TickCount(); });
    const uint32_t start = host.TickCount();
    host.ScheduleWake(start + 150);
    host.WaitAndDispatch(start + 20000);
    ASSERT_NE(wokeAt, 0u);
    EXPECT_GE(wokeAt - start, 150u);
    EXPECT_LT(wokeAt - start, 10000u);
    // Once delivered, a wake-up does not come again.
    wokeAt = 0;
    host.RunFor(100);
    EXPECT_EQ(wokeAt, 0u);
}

TEST(RealTimeHost, DelayWithEventsRunsTimerTicksWithoutSpinning) {
    RealTimeHost host;
    EventPump pump(host);
    Timer timer(pump, 50);
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    timer.SetEnabled(true);
    const double cpu = CpuMs();
    const uint32_t start = host.TickCount();
    pump.DelayWithEvents(400);
    const uint32_t waited = host.TickCount() - start;
    EXPECT_GT(waited, 400u);
    EXPECT_GE(ticks, 1);
    EXPECT_LE(ticks, 9);
    EXPECT_LT(CpuMs() - cpu, 0.05 * waited);
}

TEST(RealTimeHost, CloseRequestArrivesThroughTheQueue) {
    RealTimeHost host;
    int seen = 0;
    host.onCloseRequest = [&] { ++seen; };
    host.CloseMainWindow();
    EXPECT_EQ(seen, 0);  // never synchronously
    EXPECT_TRUE(host.RunUntil([&] { return seen == 1; }, 5000));
    EXPECT_EQ(host.closeRequests, 1);
}

TEST(RealTimeHost, ACallbackThatThrowsLeavesTheOthersQueued) {
    RealTimeHost host;
    int ran = 0;
    host.Post([] { throw std::runtime_error("boom"); });
    host.Post([&] { ++ran; });
    EXPECT_THROW(host.WaitAndDispatch(host.TickCount()), std::runtime_error);
    host.WaitAndDispatch(host.TickCount());
    EXPECT_EQ(ran, 1);
}

}  // namespace
}  // namespace qvd
