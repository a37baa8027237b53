// The real-time host: wake-ups arrive when due, close requests come through
// the queue. Posts from other threads and waits that sleep are exercised by
// the serial port tests, which run on this host. Bounds are generous.
#include "core/host/RealTimeHost.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace qvd::test {
namespace {

TEST(RealTimeHost, WakeWhenDueCloseThroughTheQueueAndAThrowingCallbackLeavesTheOthersQueued) {
    RealTimeHost host;
    int wakes = 0, closes = 0, ran = 0;
    const uint32_t start = host.TickCount();
    uint32_t wokeAfter = 0;
    host.SetWakeHandler([&] { ++wakes, wokeAfter = host.TickCount() - start; });
    host.ScheduleWake(start + 150);
    host.onCloseRequest = [&] { ++closes; };
    host.CloseMainWindow();
    EXPECT_EQ(closes, 0);  // never synchronously
    EXPECT_TRUE(host.RunUntil([&] { return wakes > 0; }, 20000));
    host.RunFor(100);  // and only once
    EXPECT_EQ(wakes, 1);
    EXPECT_GE(wokeAfter, 150u);
    EXPECT_LT(wokeAfter, 10000u);
    EXPECT_EQ(closes, 1);
    host.Post([] { throw std::runtime_error("boom"); });
    host.Post([&] { ++ran; });
    EXPECT_THROW(host.WaitAndDispatch(host.TickCount()), std::runtime_error);
    host.WaitAndDispatch(host.TickCount());
    EXPECT_EQ(ran, 1);
}

}  // namespace
}  // namespace qvd::test
