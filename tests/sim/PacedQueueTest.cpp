#include "sim/PacedQueue.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace qvd::sim {
namespace {

constexpr int64_t kMs = 1'000'000;

// How many bytes are through the line by each instant, for bytes and gaps
// pushed at given times. 5760 bytes/s: byte k is through after k * 173.6 us.
TEST(PacedQueue, BytesAndGapsComeThroughAtTheLineRate) {
    // At `at`, a gap and bytes are pushed first, if given.
    struct Step { int64_t at; size_t through; std::string push = {}; int64_t gap = 0; };
    struct Case { const char* name; int rate; std::function<void(PacedQueue&)> fill; std::vector<Step> steps; };
    const Case cases[] = {
        {"line rate", 5760, [](PacedQueue& q) { q.Push(std::string(18, 'r'), 0); },
         {{0, 0}, {kMs / 10, 0}, {kMs, 5}, {2 * kMs, 11}, {3 * kMs, 17}, {3125 * kMs / 1000, 18}, {100 * kMs, 18}}},
        {"answers back to back share the line", 5760,
         [](PacedQueue& q) { q.Push(std::string(5760, 'x'), 0); q.Push("y", 500 * kMs); },
         {{999 * kMs, 5754}, {1000 * kMs, 5760}, {1001 * kMs, 5761}}},
        {"no credit saved up on an idle line", 5760, [](PacedQueue& q) { q.Push("x", 0); },
         {{kMs, 1}, {60000 * kMs, 1, "z"}, {60001 * kMs, 2}}},
        // Ten bytes are through at 1.74 ms, the gap runs to 101.74 ms, the
        // next ten take another 1.74 ms.
        {"gap, paced", 5760,
         [](PacedQueue& q) { q.Push(std::string(10, 'a'), 0); q.PushGap(100 * kMs, 0); q.Push(std::string(10, 'b'), 0); },
         {{2 * kMs, 10}, {101 * kMs, 10}, {102 * kMs, 11}, {104 * kMs, 20}}},
        {"gap, unpaced", 0,
         [](PacedQueue& q) { q.Push(std::string(10, 'a'), 0); q.PushGap(100 * kMs, 0); q.Push(std::string(10, 'b'), 0); },
         {{0, 10}, {99 * kMs, 10}, {100 * kMs, 20}}},
        // On an idle line the gap starts now: an answer the device thinks over.
        {"gap on an idle line", 5760, [](PacedQueue& q) { q.Push("x", 0); },
         {{kMs, 1}, {50000 * kMs, 1, "g0010 1234", 2000 * kMs}, {51999 * kMs, 1}, {52002 * kMs, 11}}},
    };
    for (const Case& c : cases) {
        PacedQueue queue(c.rate);
        c.fill(queue);
        size_t total = 0;
        for (const Step& s : c.steps) {
            if (s.gap) queue.PushGap(s.gap, s.at);
            if (!s.push.empty()) queue.Push(s.push, s.at);
            // The next byte is due exactly when it is through: a port woken then finds it.
            if (const auto due = queue.NextDueNs(); due && *due <= s.at) {
                EXPECT_EQ(queue.TakeDue(*due - 1), "") << c.name;
                const size_t first = queue.TakeDue(*due).size();
                EXPECT_GT(first, 0u) << c.name;
                total += first;
            }
            total += queue.TakeDue(s.at).size();
            EXPECT_EQ(total, s.through) << c.name << " at " << s.at;
        }
        EXPECT_TRUE(queue.Empty()) << c.name;
        EXPECT_FALSE(queue.NextDueNs()) << c.name;
    }
}

}  // namespace
}  // namespace qvd::sim
