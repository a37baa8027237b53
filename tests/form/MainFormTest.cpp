#include "testkit/Rig.h"

#include <gtest/gtest.h>

namespace qvd::test {
namespace {

TEST(MessageLog, ErrorColoursStayAndThePanelShowsTheLastMessage) {
    Rig rig;
    MainForm& f = rig.form();
    f.LogError("boom");
    f.LogLine("just a line");
    EXPECT_EQ(f.messagePanel.caption, "boom");
    f.LogInfo("a\rb\r\nc");
    EXPECT_EQ(f.logMemo.lines, (Lines{"boom", "just a line", "a", "b", "c"}));
    EXPECT_EQ(f.logMemo.color, colors::Red);
    EXPECT_EQ(f.messagePanel.caption, "a b c");
}

}  // namespace
}  // namespace qvd::test
