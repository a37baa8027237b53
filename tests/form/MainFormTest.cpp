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

TEST(MemoLines, EveryKindOfBreakEndsALine) {
    const std::pair<std::string, Lines> cases[] = {
        {"", {""}}, {"a\r\n", {"a", ""}}, {"a\n\rb", {"a", "", "b"}}, {"\r\r\n\n", {"", "", "", ""}},
        {std::string("x\0y", 3), {std::string("x\0y", 3)}},
    };
    for (const auto& [text, lines] : cases) {
        Control memo("Memo1", ControlKind::Memo, "");
        memo.AddText(text);
        EXPECT_EQ(memo.lines, lines);
    }
}

}  // namespace
}  // namespace qvd::test
