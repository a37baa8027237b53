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

TEST(ViewLines, LongLinesInSmallChunksComeWhole) {
    // One 1 MiB line in small chunks, then its end.
    ViewLineCutter one;
    const std::string piece(64, 'x');
    for (int i = 0; i < 16384; ++i) EXPECT_TRUE(one.Append(piece).empty());
    const std::vector<std::string> last = one.Append("\rab");
    ASSERT_EQ(last.size(), 1u);
    EXPECT_EQ(last[0].size(), (1u << 20) + 1);
    EXPECT_EQ(one.TakeRest(), "ab");
}

TEST(ViewLines, RangeHeaders) {
    EXPECT_EQ(RangeHeaderLine(true, "0000", "7FFF"),
              "****************** RAM-Teilbereich (000000h...7FFF00h): "
              "*************************");
    EXPECT_EQ(RangeHeaderLine(false, "0100", "01FF"),
              "****************** EPROM-Teilbereich (010000h...01FF00h): "
              "*************************");
}

TEST(ViewLines, FileHasOneCrLfPerLine) {
    EXPECT_EQ(ViewFileBytes({"a\r", "b", "c\r\n", "", "\xE4\r"}), "a\r\nb\r\nc\r\n\r\n\xE4\r\n");
    EXPECT_EQ(ViewFileBytes({}), "");
}

}  // namespace
}  // namespace qvd
