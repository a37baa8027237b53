#include "Windows.h"
#include "ui/MainLayout.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace qvd::test {
namespace {

// What a widget shows as its caption, for the kinds that show one.
std::optional<QString> ShownCaption(QWidget* w) {
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* l = qobject_cast<QLabel*>(w)) {
        if (!l->pixmap().isNull()) return std::nullopt;
        return l->text();
    }
    return std::nullopt;
}

QColor RoleColor(QWidget* w, QPalette::ColorRole role) { return w->palette().color(QPalette::Active, role); }

TEST(MainWindow, EveryControlIsFoundByItsDesignerName) {
    Windows w;
    EXPECT_EQ(w.main.objectName(), QStringLiteral("TForm1"));
    EXPECT_EQ(w.main.windowTitle(), QString::fromUtf8(kWindowCaption));
    for (Control* c : w.form().Controls()) {
        const QString name = QString::fromStdString(c->name);
        const QString caption = QString::fromStdString(c->caption);
        if (c->kind == ControlKind::Menu) {
            auto* menu = w.Find<QMenu>(c->name);
            ASSERT_NE(menu, nullptr) << c->name;
            EXPECT_EQ(menu->title(), caption);
            EXPECT_EQ(menu->accessibleDescription(), name);
        } else if (c->kind == ControlKind::MenuItem) {
            auto* action = w.Find<QAction>(c->name);
            ASSERT_NE(action, nullptr) << c->name;
            EXPECT_EQ(action->text(), caption);
        } else {
            QWidget* widget = w.Find(c->name);
            ASSERT_NE(widget, nullptr) << c->name;
            EXPECT_EQ(widget->accessibleDescription(), name);
            if (auto shown = ShownCaption(widget)) {
                EXPECT_EQ(*shown, caption) << c->name;
            }
        }
    }
    EXPECT_EQ(w.Find<QLabel>("StatusBar2.1")->text(), QStringLiteral("Keine Verbindung zum Modul"));
}

TEST(MainWindow, ClicksReachTheHandlers) {
    Windows w;
    w.RevealAll();
    for (Control* c : w.form().Controls()) {
        if (c->kind != ControlKind::Button) continue;
        int clicks = 0;
        c->OnClick = [&clicks] { ++clicks; };
        QTest::mouseClick(w.Find(c->name), Qt::LeftButton);
        EXPECT_EQ(clicks, 1) << c->name;
    }

    // A check box hands its new state over before its handler runs.
    bool checkedInHandler = false;
    w.form().CheckBox3.OnClick = [&] { checkedInHandler = w.form().CheckBox3.checked; };
    QTest::mouseClick(w.Find("CheckBox3"), Qt::LeftButton);
    EXPECT_TRUE(checkedInHandler);

    std::vector<int> steps;
    w.form().UpDown1.OnStep = [&](int step) { steps.push_back(step); };
    auto arrows = w.Find("UpDown1")->findChildren<QToolButton*>();
    ASSERT_EQ(arrows.size(), 2);
    for (QToolButton* arrow : arrows) QTest::mouseClick(arrow, Qt::LeftButton);
    std::sort(steps.begin(), steps.end());
    EXPECT_EQ(steps, (std::vector<int>{-1, 1}));
}

TEST(MainWindow, MenuEntriesForwardAndTheTickMarkIsTheModels) {
    Windows w;
    w.form().EnableOperationControls(true);
    Settle();
    auto* service = w.Find<QAction>("Service1");
    int clicks = 0;
    w.form().Service1.OnClick = [&] { ++clicks; };
    service->trigger();
    Settle();
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(service->isChecked());  // the handler did not tick it

    w.form().Service1.OnClick = [&] { w.form().Service1.SetChecked(!w.form().Service1.checked); };
    service->trigger();
    Settle();
    EXPECT_TRUE(service->isChecked());
    EXPECT_TRUE(w.form().Service1.checked);

    EXPECT_TRUE(w.Find<QMenu>("Info1")->menuAction()->isEnabled());
    w.form().EnableOperationControls(false);
    Settle();
    EXPECT_FALSE(w.Find<QMenu>("Info1")->menuAction()->isEnabled());
}

TEST(MainWindow, ModelChangesShowAfterTheRefresh) {
    Windows w;
    MainForm& f = w.form();
    struct Case {
        const char* what;
        std::function<void()> change;
        std::function<bool()> shown;
    };
    const Case cases[] = {
        {"caption", [&] { f.Button3.SetCaption("Neue Verbindung + Infos erneuern"); },
         [&] { return w.Find<QPushButton>("Button3")->text() == QStringLiteral("Neue Verbindung + Infos erneuern"); }},
        {"enabled", [&] { f.Button5.SetEnabled(true); }, [&] { return w.Find("Button5")->isEnabled(); }},
        {"visible", [&] { f.GroupBox4.SetVisible(true); }, [&] { return !w.Find("GroupBox4")->isHidden(); }},
        {"checked", [&] { f.CheckBox3.SetChecked(true); }, [&] { return w.Find<QCheckBox>("CheckBox3")->isChecked(); }},
        {"log line", [&] { f.LogInfo("Suche alle COM..."); },
         [&] {
             return w.Find<QPlainTextEdit>("Memo1")->toPlainText() == QStringLiteral("Suche alle COM...") &&
                    w.Find<QLabel>("StatusBar2.1")->text() == QStringLiteral("Suche alle COM...");
         }},
        {"log colours", [&] { f.LogError("Fehler"); },
         [&] {
             QWidget* memo = w.Find("Memo1");
             return RoleColor(memo, QPalette::Base) == QColor(255, 0, 0) &&
                    RoleColor(memo, QPalette::Text) == QColor(255, 255, 0);
         }},
        {"indicator", [&] { f.Panel4.SetColor(colors::Aqua); },
         [&] { return RoleColor(w.Find("Panel4"), QPalette::Window) == QColor(0, 255, 255); }},
        {"status bar", [&] { f.StatusBar2.SetColor(colors::Yellow); },
         [&] { return RoleColor(w.Find("StatusBar2"), QPalette::Window) == QColor(255, 255, 0); }},
        {"max length", [&] { f.Edit11.SetMaxLength(2); }, [&] { return w.Find<QLineEdit>("Edit11")->maxLength() == 2; }},
        {"edit text", [&] { f.Edit2.SetCaption("07"); }, [&] { return w.Find<QLineEdit>("Edit2")->text() == QStringLiteral("07"); }},
        {"window caption", [&] { f.window.SetCaption("X"); }, [&] { return w.main.windowTitle() == QStringLiteral("X"); }},
        {"opacity", [&] { f.alpha = 85; f.Changed(); }, [&] { return qAbs(w.main.windowOpacity() - 85 / 255.0) < 0.01; }},
    };
    for (const Case& c : cases) {
        c.change();
        Settle();
        EXPECT_TRUE(c.shown()) << c.what;
    }
}

TEST(MainWindow, MemoAppendsAndRebuildsWhenLinesGo) {
    Windows w;
    Control& memo = w.form().DBMemo1;
    auto* view = w.Find<QPlainTextEdit>("DBMemo1");
    memo.AddLine("000000: 41 42\r");
    memo.AddLine("000010: 43 44\r");
    Settle();
    EXPECT_EQ(view->toPlainText(), QStringLiteral("000000: 41 42\n000010: 43 44"));
    memo.Clear();
    memo.AddLine("neu");
    Settle();
    EXPECT_EQ(view->toPlainText(), QStringLiteral("neu"));
    memo.lines[0] = "geändert";  // changed in place
    memo.Touch();
    Settle();
    EXPECT_EQ(view->toPlainText(), QStringLiteral("geändert"));
}

TEST(MainWindow, LogStaysScrolledToItsLastLine) {
    Windows w;
    for (int i = 0; i < 200; ++i) w.form().LogLine("Zeile " + std::to_string(i));
    Settle();
    QScrollBar* bar = w.Find<QPlainTextEdit>("Memo1")->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());
}

// Whether a region lies wholly in the window's client area above the status
// bar, or wholly outside.
enum class Seen { Whole, None };
Seen SeenIn(Windows& w, const char* name) {
    QWidget* widget = w.Find(name);
    QRect area = w.main.centralWidget()->rect();
    area.setBottom(w.Find("StatusBar2")->geometry().top() - 1);
    if (area.contains(widget->geometry())) return Seen::Whole;
    EXPECT_FALSE(area.intersects(widget->geometry())) << name << " is cut in half";
    return Seen::None;
}

TEST(MainWindow, WindowLayoutsRevealWholeRegions) {
    Windows w;
    struct Case { int width, height; Seen a, b, c, d; };
    for (Case c : {Case{773, 247, Seen::Whole, Seen::None, Seen::None, Seen::None},
                   Case{773, 680, Seen::Whole, Seen::Whole, Seen::Whole, Seen::None},
                   Case{920, 680, Seen::Whole, Seen::Whole, Seen::Whole, Seen::Whole}}) {
        w.form().SetWidth(c.width);
        w.form().SetHeight(c.height);
        Settle();
        EXPECT_EQ(w.main.size(), QSize(c.width, c.height) - ui::kMainWindowFrame);
        EXPECT_EQ(SeenIn(w, "Panel2"), c.a) << c.width << "x" << c.height;
        EXPECT_EQ(SeenIn(w, "Panel4"), c.a);
        EXPECT_EQ(SeenIn(w, "Panel1"), c.b) << c.width << "x" << c.height;
        EXPECT_EQ(SeenIn(w, "GroupBox4"), c.c) << c.width << "x" << c.height;
        EXPECT_EQ(SeenIn(w, "GroupBox8"), c.d) << c.width << "x" << c.height;
        EXPECT_EQ(SeenIn(w, "CheckBox14"), c.d);
        // The status bar sits on the window's bottom edge, over whatever is cut off.
        QWidget* bar = w.Find("StatusBar2");
        EXPECT_EQ(bar->geometry().bottom(), w.main.centralWidget()->rect().bottom());
        EXPECT_GE(bar->geometry().top(), w.Find("Panel2")->geometry().bottom());
    }
}

TEST(MainWindow, DisabledWindowTakesNoInput) {
    Windows w;
    w.form().Button3.SetEnabled(true);
    int clicks = 0;
    w.form().Button3.OnClick = [&] { ++clicks; };
    w.form().window.SetEnabled(false);
    Settle();
    QTest::mouseClick(w.Find("Button3"), Qt::LeftButton);
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(w.Find("Button3")->isEnabled());  // looks as before
    w.form().window.SetEnabled(true);
    Settle();
    QTest::mouseClick(w.Find("Button3"), Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}

TEST(MainWindow, CloseAsksTheProgram) {
    Windows w;
    EXPECT_TRUE(w.main.close());
    EXPECT_TRUE(w.program.closed);
}

}  // namespace
}  // namespace qvd::test
