#include "core/memory/TransferProgress.h"
#include "core/memory/MemoryView.h"

#include <gtest/gtest.h>

namespace qvd {
namespace {

using Lines = std::vector<std::string>;

TEST(ViewLines, CutsAtCarriageReturnsAcrossChunks) {
    struct Case { Lines chunks; Lines lines; std::string rest; };
    const Case cases[] = {
        {{"00", "00: 4", "1\r00"}, {"0000: 41\r"}, "00"},
        {{"a", "\r", "\r"}, {"a\r", "\r"}, ""},
        {{"x\ny\r\n"}, {"x\ny\r"}, "\n"},  // LF is an ordinary byte here
    };
    for (const Case& c : cases) {
        ViewLineCutter cutter;
        Lines lines;
        for (const std::string& chunk : c.chunks)
            for (std::string& line : cutter.Append(chunk)) lines.push_back(std::move(line));
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(cutter.TakeRest(), c.rest);
        EXPECT_EQ(cutter.TakeRest(), "");
    }
}

TEST(TransferProgress, PercentAndRemainingTime) {
    struct Case { uint64_t done, expected; int percent; std::string text; };
    const Case cases[] = {
        {0, 524288, 0, "0 %  noch 1:31"},
        {65535, 65536, 99, "99 %  noch 0:00"},  // 100 only when complete
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
