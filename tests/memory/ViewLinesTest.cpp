#include "core/memory/ViewLines.h"

#include <gtest/gtest.h>

namespace qvd {
namespace {

using Lines = std::vector<std::string>;

TEST(ViewLines, CutsAtCarriageReturnsAcrossChunks) {
    struct Case { Lines chunks; Lines lines; std::string rest; };
    const Case cases[] = {
        {{"0000: 41 42\r"}, {"0000: 41 42\r"}, ""},
        {{"00", "00: 4", "1\r00"}, {"0000: 41\r"}, "00"},
        {{"a\rb\r", "c"}, {"a\r", "b\r"}, "c"},
        {{"a", "\r", "\r"}, {"a\r", "\r"}, ""},
        {{"x\ny\r\n"}, {"x\ny\r"}, "\n"},  // LF is an ordinary byte here
        {{"no end"}, {}, "no end"},
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

}  // namespace
}  // namespace qvd
