#include "core/memory/TransferProgress.h"

#include <gtest/gtest.h>

namespace qvd {
namespace {

TEST(TransferProgress, PercentAndRemainingTime) {
    struct Case { uint64_t done, expected; int percent; std::string text; };
    const Case cases[] = {
        {0, 65536, 0, "0 %  noch 0:11"},
        {0, 524288, 0, "0 %  noch 1:31"},
        {65535, 65536, 99, "99 %  noch 0:00"},  // 100 only when complete
        {65536, 65536, 100, "100 %  noch 0:00"},
        {70000, 65536, 100, "100 %  noch 0:00"},
        {1000, 0, 0, "1000 Byte"},
    };
    for (const Case& c : cases) {
        const TransferProgress p = DescribeTransfer(c.done, c.expected);
        EXPECT_EQ(p.percent, c.percent) << c.done << "/" << c.expected;
        EXPECT_EQ(p.text, c.text);
    }
}

}  // namespace
}  // namespace qvd
