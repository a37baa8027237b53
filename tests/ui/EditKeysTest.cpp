#include "Windows.h"
#include "ui/EditKeyFilter.h"

namespace qvd::test {
namespace {

TEST(EditKeys, KeysBecomeTheCharactersTheFilterSees) {
    struct Case { Qt::Key key; Qt::KeyboardModifiers mods; QString text; std::optional<char> typed; };
    const Case cases[] = {
        {Qt::Key_Backspace, Qt::NoModifier, "", '\b'},
        {Qt::Key_Enter, Qt::KeypadModifier, "\r", '\r'},
        {Qt::Key_V, Qt::ControlModifier, "", '\x16'},
        {Qt::Key_B, Qt::ControlModifier, "", '\x02'},
        {Qt::Key_unknown, Qt::NoModifier, QStringLiteral("€"), '\x80'},
        {Qt::Key_unknown, Qt::NoModifier, QStringLiteral("\u4e2d"), '?'},  // no Windows-1252 byte: a question mark
        {Qt::Key_Delete, Qt::NoModifier, "\x7f", std::nullopt},
        {Qt::Key_Left, Qt::NoModifier, "", std::nullopt},
        {Qt::Key_Tab, Qt::NoModifier, "\t", std::nullopt},
    };
    for (const Case& c : cases) {
        QKeyEvent event(QEvent::KeyPress, c.key, c.mods, c.text);
        EXPECT_EQ(ui::TypedChar(event), c.typed) << c.key << " " << c.text.toStdString();
    }
}

TEST(EditKeys, TypingGoesThroughTheHandlers) {
    Windows w;
    w.RevealAll();
    Control& field = w.form().hoursEdit;  // a clock field: at most 2 characters
    auto* edit = w.Find<QLineEdit>("Edit2");
    std::string seen;
    // Digits and Backspace pass, 'a' becomes '9', anything else is discarded.
    field.OnKeyPress = [&seen](char& key) {
        seen += key;
        if (key == 'a') key = '9';
        else if (!std::isdigit(static_cast<unsigned char>(key)) && key != '\b') key = 0;
    };
    field.SetCaption("");
    Settle();
    QApplication::clipboard()->setText(QStringLiteral("ab"));
    QTest::keyClicks(edit, QStringLiteral("1x"));
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);  // the other paste
    QTest::keyClicks(edit, QStringLiteral("a3"));  // '3' finds the field full
    EXPECT_EQ(seen, std::string("1x\x16\x16" "a3"));
    EXPECT_EQ(edit->text(), QStringLiteral("19"));
    EXPECT_EQ(field.caption, "19");

    // A change handler that rewrites the text: the edit shows the rewrite.
    Control& value = w.form().cellValueEdit;
    value.OnChange = [&value] { if (value.caption == "a") value.SetCaption("A"); };
    value.SetCaption("");
    Settle();
    QTest::keyClicks(w.Find<QLineEdit>("Edit11"), QStringLiteral("a"));
    Settle();
    EXPECT_EQ(w.Find<QLineEdit>("Edit11")->text(), QStringLiteral("A"));

    // The password field shows '#'.
    auto* entry = w.password.findChild<QLineEdit*>(QStringLiteral("Edit1"));
    QTest::keyClicks(entry, QStringLiteral("geheim"));
    EXPECT_EQ(entry->displayText(), QStringLiteral("######"));
}

}  // namespace
}  // namespace qvd::test
