#include "sim/PacedQueue.h"

#include <gtest/gtest.h>

#include <vector>

namespace qvd::sim {
namespace {

constexpr int64_t kMs = 1'000'000;

TEST(PacedQueue, BytesComeThroughAtTheLineRate) {
    // 5760 bytes/s: byte k is through after k * 173.6 us.
    struct Case { int64_t at; size_t through; };
    const Case cases[] = {{0, 0},       {kMs / 10, 0}, {kMs, 5},  {2 * kMs, 11},
                          {3 * kMs, 17}, {3125 * kMs / 1000, 18}, {100 * kMs, 18}};
    PacedQueue queue(5760);
    queue.Push(std::string(18, 'r'), 0);
    size_t total = 0;
    for (const Case& c : cases) {
        total += queue.TakeDue(c.at).size();
        EXPECT_EQ(total, c.through) << c.at;
    }
    EXPECT_TRUE(queue.Empty());
    EXPECT_FALSE(queue.NextDueNs());

    queue.Push("ab", 200 * kMs);  // the next byte is due when it is through
    const int64_t first = *queue.NextDueNs();
    EXPECT_EQ(queue.TakeDue(first - 1), "");
    EXPECT_EQ(queue.TakeDue(first), "a");
    EXPECT_EQ(queue.TakeDue(*queue.NextDueNs()), "b");
}

TEST(PacedQueue, AnswersBackToBackShareTheLineAnIdleLineStartsAfreshUnpacedIsAtOnce) {
    PacedQueue queue(5760);
    queue.Push(std::string(5760, 'x'), 0);
    queue.Push("y", 500 * kMs);  // queued behind the first second's worth
    EXPECT_EQ(queue.TakeDue(999 * kMs).size(), 5754u);
    EXPECT_EQ(queue.TakeDue(1000 * kMs).size(), 6u);
    EXPECT_EQ(queue.TakeDue(1001 * kMs), "y");
    // Long idle: no credit saved up, the next byte takes its full time again.
    queue.Push("z", 60000 * kMs);
    EXPECT_EQ(queue.TakeDue(60000 * kMs), "");
    EXPECT_EQ(queue.TakeDue(60001 * kMs), "z");

    PacedQueue unpaced(0);  // hands everything over at once
    unpaced.Push("FF1-0000-00000000\r", 5 * kMs);
    EXPECT_LE(*unpaced.NextDueNs(), 5 * kMs);
    EXPECT_EQ(unpaced.TakeDue(5 * kMs), "FF1-0000-00000000\r");
}

TEST(PacedQueue, AGapHoldsTheLineQuietAfterTheBytesBeforeItPacedOrNot) {
    struct Step { int64_t at; size_t through; };
    struct Case { int rate; std::vector<Step> steps; };
    // Paced: ten bytes are through at 1.74 ms, the gap runs to 101.74 ms, the
    // next ten take another 1.74 ms.
    const Case cases[] = {
        {5760, {{2 * kMs, 10}, {101 * kMs, 10}, {102 * kMs, 11}, {104 * kMs, 20}}},
        {0, {{0, 10}, {99 * kMs, 10}, {100 * kMs, 20}}},
    };
    for (const Case& c : cases) {
        PacedQueue queue(c.rate);
        queue.Push(std::string(10, 'a'), 0);
        queue.PushGap(100 * kMs, 0);
        queue.Push(std::string(10, 'b'), 0);
        size_t total = 0;
        for (const Step& s : c.steps) {
            total += queue.TakeDue(s.at).size();
            EXPECT_EQ(total, s.through) << c.rate << " at " << s.at;
        }
    }
    // On an idle line the gap starts now: an answer the device thinks over.
    PacedQueue queue(5760);
    queue.Push("x", 0);
    EXPECT_EQ(queue.TakeDue(kMs), "x");
    queue.PushGap(2000 * kMs, 50000 * kMs);
    queue.Push("g0010 1234", 50000 * kMs);
    EXPECT_EQ(queue.TakeDue(51999 * kMs), "");
    EXPECT_GT(*queue.NextDueNs(), 52000 * kMs);
    EXPECT_EQ(queue.TakeDue(52002 * kMs), "g0010 1234");
}

}  // namespace
}  // namespace qvd::sim
