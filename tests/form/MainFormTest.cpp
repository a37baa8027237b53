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

TEST(ExtraFunctions, ShownWhileTickedAndHiddenWhenNot) {
    Rig rig;
    MainForm& f = rig.form();
    f.CheckBox3.checked = true;
    f.ApplyExtraFunctions(8);  // neither family: no register group
    EXPECT_TRUE(f.GroupBox1.visible && f.Button12.visible && f.Panel5.visible);
    EXPECT_FALSE(f.GroupBox2.visible || f.GroupBox3.visible);
    f.ApplyExtraFunctions(4);
    f.CheckBox3.checked = false;
    f.ApplyExtraFunctions(4);
    for (Control* g : {&f.GroupBox1, &f.Button12, &f.Panel5, &f.GroupBox2, &f.GroupBox3})
        EXPECT_FALSE(g->visible) << g->name;
}

}  // namespace
}  // namespace qvd::test
