#include "Windows.h"
#include "ui/EditKeyFilter.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace qvd::test {
namespace {

TEST(EditKeys, KeysBecomeTheCharactersTheFilterSees) {
    struct Case { Qt::Key key; Qt::KeyboardModifiers mods; QString text; std::optional<char> typed; };
    const Case cases[] = {
        {Qt::Key_5, Qt::NoModifier, "5", '5'},
        {Qt::Key_A, Qt::ShiftModifier, "A", 'A'},
        {Qt::Key_Backspace, Qt::NoModifier, "\b", '\b'},
        {Qt::Key_Return, Qt::NoModifier, "\r", '\r'},
        {Qt::Key_Enter, Qt::KeypadModifier, "\r", '\r'},
        {Qt::Key_Escape, Qt::NoModifier, "\x1b", '\x1b'},
        {Qt::Key_V, Qt::ControlModifier, "", '\x16'},
        {Qt::Key_C, Qt::ControlModifier, "", '\x03'},
        {Qt::Key_X, Qt::ControlModifier, "\x18", '\x18'},
        {Qt::Key_B, Qt::ControlModifier, "", '\x02'},
        {Qt::Key_Adiaeresis, Qt::NoModifier, QStringLiteral("ä"), '\xE4'},
        {Qt::Key_unknown, Qt::NoModifier, QStringLiteral("€"), '\x80'},
        {Qt::Key_unknown, Qt::NoModifier, QStringLiteral("\u4e2d"), '?'},  // no Windows-1252 byte: as the ANSI platform
        {Qt::Key_Delete, Qt::NoModifier, "\x7f", std::nullopt},
        {Qt::Key_Left, Qt::NoModifier, "", std::nullopt},
        {Qt::Key_Tab, Qt::NoModifier, "\t", std::nullopt},
        {Qt::Key_Shift, Qt::ShiftModifier, "", std::nullopt},
    };
    for (const Case& c : cases) {
        QKeyEvent event(QEvent::KeyPress, c.key, c.mods, c.text);
        EXPECT_EQ(ui::TypedChar(event), c.typed) << c.key << " " << c.text.toStdString();
    }
}

struct EditRig : Windows {
    QLineEdit* edit;
    std::string seen;
    EditRig() {
        RevealAll();
        edit = Find<QLineEdit>("Edit2");
        edit->setFocus();
        // Digits and Backspace only, as the clock fields' filter.
        form().Edit2.OnKeyPress = [this](char& key) {
            seen += key;
            if (!((key >= '0' && key <= '9') || key == '\b')) key = 0;
        };
        form().Edit2.SetCaption("");
        Settle();
    }
};

TEST(EditKeys, DiscardedKeysStayOutOfTheEdit) {
    EditRig rig;
    QApplication::clipboard()->setText(QStringLiteral("ab"));
    QTest::keyClicks(rig.edit, QStringLiteral("1x"));
    QTest::keyClick(rig.edit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(rig.edit, Qt::Key_Insert, Qt::ShiftModifier);  // the other paste
    EXPECT_EQ(rig.edit->text(), QStringLiteral("1"));
    EXPECT_EQ(rig.form().Edit2.caption, "1");
    EXPECT_EQ(rig.seen, std::string("1x\x16\x16"));
    // Typing stops at the maximum length (2 for the clock fields).
    QTest::keyClicks(rig.edit, QStringLiteral("234"));
    EXPECT_EQ(rig.form().Edit2.caption, "12");
    QTest::keyClick(rig.edit, Qt::Key_Backspace);
    EXPECT_EQ(rig.form().Edit2.caption, "1");
}

TEST(EditKeys, ReplacedKeyIsTypedInstead) {
    EditRig rig;
    rig.form().Edit2.OnKeyPress = [](char& key) {
        if (key >= 'a' && key <= 'f') key = static_cast<char>(key - 'a' + 'A');
    };
    QTest::keyClicks(rig.edit, QStringLiteral("a1"));
    EXPECT_EQ(rig.edit->text(), QStringLiteral("A1"));
    EXPECT_EQ(rig.form().Edit2.caption, "A1");
}

TEST(EditKeys, TextChangedByTheChangeHandlerIsWrittenBack) {
    EditRig rig;
    Control& value = rig.form().Edit11;
    value.SetCaption("");
    value.OnChange = [&value] {
        std::string upper = value.caption;
        for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        value.SetCaption(upper);
    };
    Settle();
    auto* edit = rig.Find<QLineEdit>("Edit11");
    QTest::keyClicks(edit, QStringLiteral("ab"));
    Settle();
    EXPECT_EQ(value.caption, "AB");
    EXPECT_EQ(edit->text(), QStringLiteral("AB"));
}

}  // namespace
}  // namespace qvd::test
