// The real-time host: wake-ups arrive when due, close requests come through
// the queue. Posts from other threads and waits that sleep are exercised by
// the serial port tests, which run on this host. Bounds are generous.
#include "core/host/RealTimeHost.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace qvd::test {
namespace {

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
