#include "support/Rig.h"

#include <gtest/gtest.h>

namespace qvd::test {
namespace {

TEST(MessageLog, ErrorColoursStayAndThePanelShowsTheLastMessage) {
    Rig rig;
    MainForm& f = rig.form();
    f.LogError("x");
    f.LogInfo("y");
    EXPECT_EQ(f.Memo1.lines, (Lines{"x", "y"}));
    EXPECT_EQ(f.Memo1.color, colors::Red);
    EXPECT_EQ(f.Memo1.fontColor, colors::Yellow);
    EXPECT_EQ(f.StatusPanel1.caption, "y");
    f.LogError("boom");
    f.LogLine("just a line");
    EXPECT_EQ(f.StatusPanel1.caption, "boom");
    f.LogInfo("a\rb\r\nc");
    EXPECT_EQ(f.Memo1.lines.size(), 7u);
    EXPECT_EQ(f.Memo1.lines.back(), "c");
    EXPECT_EQ(f.StatusPanel1.caption, "a b c");
}

}  // namespace
}  // namespace qvd::test
