#include "Windows.h"
#include "ui/ImageView.h"
#include "ui/MainLayout.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QToolButton>

namespace qvd::test {
namespace {

// What a widget shows as its caption, for the kinds that show one.
std::optional<QString> ShownCaption(QWidget* w) {
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* m = qobject_cast<QMenu*>(w)) return m->title();
    if (auto* i = dynamic_cast<ui::ImageView*>(w)) return i->Source();
    if (auto* p = qobject_cast<QProgressBar*>(w)) return p->text();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    return std::nullopt;
}

TEST(Windows, EveryControlIsFoundByItsDesignerName) {
    Windows w;
    struct Case { Form* form; QWidget* window; QSize client; };
    const Case cases[] = {
        {&w.form(), &w.main, QSize(773, 247) - ui::kMainWindowFrame},
        {&w.program.about, &w.about, {508, 178}},
        {&w.program.password, &w.password, {192, 97}},
        {&w.program.jumperHelp, &w.jumperHelp, {588, 267}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.window->objectName(), QString::fromStdString(c.form->window.name));
        EXPECT_EQ(c.window->windowTitle(), QString::fromStdString(c.form->window.caption));
        EXPECT_EQ(c.window->size(), c.client) << c.form->window.name;
        for (Control* ctl : c.form->Controls()) {
            const QString name = QString::fromStdString(ctl->name), caption = QString::fromStdString(ctl->caption);
            QObject* found = c.window == &w.main ? w.Find<QObject>(ctl->name) : c.window->findChild<QObject*>(name);
            ASSERT_NE(found, nullptr) << ctl->name;
            if (auto* action = qobject_cast<QAction*>(found)) {
                EXPECT_EQ(action->text(), caption);
                continue;
            }
            auto* widget = qobject_cast<QWidget*>(found);
            EXPECT_EQ(widget->accessibleDescription(), name);
            EXPECT_EQ(ShownCaption(widget).value_or(caption), caption) << ctl->name;
            // A picture is decoded and scaled into its frame, proportions kept.
            if (auto* image = dynamic_cast<ui::ImageView*>(widget)) {
                const QSize shown = image->pixmap().size();
                EXPECT_FALSE(shown.isEmpty()) << ctl->name;
                EXPECT_EQ(shown, shown.scaled(widget->size(), Qt::KeepAspectRatio)) << ctl->name;
            }
        }
    }
}

TEST(MainWindow, ClicksReachTheirHandlers) {
    Windows w;
    w.RevealAll();
    MainForm& f = w.form();
    std::string ran;
    for (Control* c : f.Controls()) {
        if (c->kind != ControlKind::Button && c->kind != ControlKind::CheckBox && c->kind != ControlKind::MenuItem)
            continue;
        // A check box hands its new state over before its handler runs.
        c->OnClick = [&ran, c] { ran = c->name + (c->checked ? " ticked" : ""); };
        const bool ticks = c->kind == ControlKind::CheckBox && !c->checked;
        if (c->kind == ControlKind::MenuItem)
            w.Find<QAction>(c->name)->trigger();
        else  // on the left, where a check box has its box
            QTest::mouseClick(w.Find(c->name), Qt::LeftButton, {}, QPoint(6, w.Find(c->name)->height() / 2));
        EXPECT_EQ(std::exchange(ran, {}), c->name + (ticks ? " ticked" : ""));
    }

    int steps = 0;
    f.cellAddressArrows.OnStep = [&](int step) { steps += step == 1 ? 1 : step == -1 ? 10 : 100; };
    for (QToolButton* arrow : w.Find("UpDown1")->findChildren<QToolButton*>()) QTest::mouseClick(arrow, Qt::LeftButton);
    EXPECT_EQ(steps, 11);

    // The tick mark is the model's: Qt's own toggle is undone.
    f.serviceItem.SetChecked(true);
    Settle();
    w.Find<QAction>("Service1")->trigger();
    EXPECT_TRUE(w.Find<QAction>("Service1")->isChecked());
    EXPECT_EQ(std::exchange(ran, {}), "Service1 ticked");
}

// However a tick changes, the program hears of it once and agrees with the
// box; its own change of the model is not one it hears of.
TEST(MainWindow, EveryUserChangeOfATickReachesTheProgramOnce) {
    Windows w;
    w.RevealAll();
    Control& check = w.form().extraFunctionsCheck;
    auto* box = w.Find<QCheckBox>("CheckBox3");
    QAction* item = w.Find<QAction>("Service1");
    int calls = 0;
    check.OnClick = w.form().serviceItem.OnClick = [&] { ++calls; };
    auto accessible = [](QAccessibleInterface* a, const QString& action) { a->actionInterface()->doAction(action); };
    struct Case { const char* how; std::function<void()> change; };
    const Case cases[] = {
        {"click", [&] { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2)); }},
        {"Space", [&] { QTest::keyClick(box, Qt::Key_Space); }},
        {"accessible toggle", [&] { accessible(QAccessible::queryAccessibleInterface(box), QAccessibleActionInterface::toggleAction()); }},
        {"set by a tool", [&] { box->setChecked(!box->isChecked()); }},
        {"refused by the program", [&] { check.OnClick = [&] { ++calls; check.SetChecked(false); }; box->toggle(); }},
        {"menu entry pressed", [&] {
             w.form().serviceItem.SetChecked(true);
             Settle();
             QMenu* menu = w.Find<QMenu>("Extr");
             accessible(QAccessible::queryAccessibleInterface(menu)->child(menu->actions().indexOf(item)),
                        QAccessibleActionInterface::pressAction());
         }},
    };
    for (const Case& c : cases) {
        for (bool tick : {true, false}) {
            check.SetChecked(!tick);
            Settle();
            calls = 0;
            c.change();
            Settle();
            EXPECT_EQ(calls, 1) << c.how;
            EXPECT_EQ(box->isChecked(), check.checked) << c.how;
            EXPECT_EQ(item->isChecked(), w.form().serviceItem.checked) << c.how;
        }
    }
}

TEST(MainWindow, WhileAnOperationHoldsTheWindowItLooksTheSameAndReportsItsControlsUnavailable) {
    Windows w;
    w.RevealAll();
    MainForm& f = w.form();
    f.searchButton.SetEnabled(false);  // greyed by the model, before and during the hold
    f.LogError("Fehler");
    Settle();
    QLineEdit* edit = w.Find<QLineEdit>("Edit10");
    QApplication::setActiveWindow(&w.main);
    const QImage before = w.main.grab().toImage();
    edit->setFocus();
    const QImage focused = w.main.grab().toImage();
    int clicks = 0;
    f.disconnectButton.OnClick = [&] { ++clicks; };
    const char* controls[] = {"Button3", "Button5", "CheckBox3", "Edit10", "Memo1", "DBMemo1", "UpDown1"};
    auto unavailable = [&](const char* name) {
        return bool(QAccessible::queryAccessibleInterface(w.Find(name))->state().disabled);
    };

    f.window.SetEnabled(false);
    Settle();
    EXPECT_EQ(w.main.cursor().shape(), Qt::BusyCursor);
    for (const char* name : controls) EXPECT_TRUE(unavailable(name)) << name;
    EXPECT_TRUE(w.main.grab().toImage() == before) << "looks as before, but for the focus it let go";
    QTest::mouseClick(w.Find("Button5"), Qt::LeftButton);
    QTest::keyClicks(edit, QStringLiteral("12"));
    EXPECT_EQ(edit->text().toStdString(), f.cellAddressEdit.caption);

    f.window.SetEnabled(true);
    Settle();
    EXPECT_EQ(w.main.cursor().shape(), Qt::ArrowCursor);
    for (const char* name : controls) EXPECT_EQ(unavailable(name), name == std::string("Button3")) << name;
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_TRUE(w.main.grab().toImage() == focused);
    QTest::mouseClick(w.Find("Button5"), Qt::LeftButton);
    EXPECT_EQ(clicks, 1);  // the click during the hold was lost
}

TEST(MainWindow, ModelChangesShowAfterTheRefresh) {
    Windows w;
    MainForm& f = w.form();
    auto text = [&](const char* name) {
        if (auto* memo = qobject_cast<QPlainTextEdit*>(w.Find(name))) return memo->toPlainText();
        return ShownCaption(w.Find(name)).value_or(QString());
    };
    auto color = [&](const char* name, QPalette::ColorRole role) { return w.Find(name)->palette().color(role); };
    QScrollBar* logBar = w.Find<QPlainTextEdit>("Memo1")->verticalScrollBar();
    QTextDocument* ramDoc = w.Find<QPlainTextEdit>("DBMemo1")->document();
    auto* progress = w.Find<QProgressBar>("ProgressBar1");
    struct Case { const char* what; std::function<void()> change; std::function<bool()> shown; };
    const Case cases[] = {
        {"visible", [&] { f.memoryGroup.SetVisible(true); }, [&] { return !w.Find("GroupBox4")->isHidden(); }},
        {"checked", [&] { f.extraFunctionsCheck.SetChecked(true); },
         [&] { return w.Find<QCheckBox>("CheckBox3")->isChecked(); }},
        {"menu enabled", [&] { f.helpMenu.SetEnabled(true); },
         [&] { return w.Find<QMenu>("Info1")->menuAction()->isEnabled(); }},
        {"log colours", [&] { f.LogError("Fehler"); },
         [&] { return color("Memo1", QPalette::Base) == Qt::red && color("Memo1", QPalette::Text) == Qt::yellow; }},
        {"log scrolled to its end", [&] { for (int i = 0; i < 200; ++i) f.LogLine("Zeile " + std::to_string(i)); },
         [&] { return logBar->maximum() > 0 && logBar->value() == logBar->maximum(); }},
        {"indicator", [&] { f.activityIndicator.SetColor(colors::Aqua); },
         [&] { return color("Panel4", QPalette::Window) == Qt::cyan; }},
        {"window caption", [&] { f.window.SetCaption("X"); }, [&] { return w.main.windowTitle() == "X"; }},
        {"opacity", [&] { f.alpha = 85; f.Changed(); },
         [&] { return qAbs(w.main.windowOpacity() - 85 / 255.0) < 0.01; }},
        {"memo append", [&] { f.ramView.AddLine("0000: 41\r"); }, [&] { return text("DBMemo1") == "0000: 41"; }},
        // Lines already shown stay as they are (a rebuild would drop the mark).
        {"memo appended to", [&] { ramDoc->firstBlock().setUserState(7); f.ramView.AddText("0010: 43\r0020: 45"); },
         [&] { return text("DBMemo1") == "0000: 41\n0010: 43\n0020: 45" && ramDoc->firstBlock().userState() == 7; }},
        {"memo rebuilt", [&] { f.ramView.Clear(); f.ramView.AddLine("neu"); }, [&] { return text("DBMemo1") == "neu"; }},
        {"progress", [&] { f.progressBar.SetVisible(true); f.progressBar.SetPosition(42); f.progressBar.SetCaption("42 % (noch 12 s)"); },
         [&] {
             const QString shown = QStringLiteral("42 % (noch 12 s)");
             return !progress->isHidden() && progress->value() == 42 && progress->text() == shown &&
                    QAccessible::queryAccessibleInterface(progress)->text(QAccessible::Name) == shown &&
                    progress->x() == w.Find("StatusBar2.3")->geometry().right() + 1 &&
                    text("StatusBar2.2") == "Bytes:" && text("StatusBar2.3") == "Kein Modul";
         }},
        {"memo line changed in place", [&] { f.ramView.lines[0] = "geändert"; f.ramView.Touch(); },
         [&] { return text("DBMemo1") == QStringLiteral("geändert"); }},
    };
    for (const Case& c : cases) {
        c.change();
        Settle();
        EXPECT_TRUE(c.shown()) << c.what;
    }
}

TEST(MainWindow, AReceivedNulByteHidesNothingFromAssistiveTools) {
    Windows w;
    const std::string received("Antwort \0 weiter", 16);
    w.form().LogInfo(received);
    w.form().infoMemo.AddLine(received);
    Settle();
    for (const char* name : {"Memo1", "Memo2", "StatusBar2.1"}) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w.Find(name));
        QAccessibleTextInterface* t = a->textInterface();
        const QString said = t ? t->text(0, t->characterCount()) : a->text(QAccessible::Name);
        EXPECT_EQ(said, QStringLiteral("Antwort \u2400 weiter")) << name;
    }
}

TEST(MainWindow, WindowLayoutsRevealWholeRegions) {
    Windows w;
    // Region A on top, B below it, C below B, D on the right.
    const char* regions[] = {"Panel2", "Panel1", "GroupBox4", "GroupBox8"};
    struct Case { int width, height; const char* seen; };
    for (Case c : {Case{773, 247, "ynnn"}, Case{773, 680, "yyyn"}, Case{920, 680, "yyyy"}}) {
        w.form().SetWidth(c.width);
        w.form().SetHeight(c.height);
        Settle();
        EXPECT_EQ(w.main.size(), QSize(c.width, c.height) - ui::kMainWindowFrame);
        // The status bar sits on the window's bottom edge, over whatever is cut off.
        const QRect bar = w.Find("StatusBar2")->geometry();
        QRect area = w.main.centralWidget()->rect();
        EXPECT_EQ(bar.bottom(), area.bottom());
        area.setBottom(bar.top() - 1);
        for (int i = 0; i < 4; ++i) {
            const QRect r = w.Find(regions[i])->geometry();
            const char seen = area.contains(r) ? 'y' : area.intersects(r) ? '/' : 'n';  // '/': cut in half
            EXPECT_EQ(seen, c.seen[i]) << regions[i] << " at " << c.width << "x" << c.height;
        }
    }
}

TEST(MainWindow, CloseGoesThroughTheProgram) {
    Windows w;
    w.program.conn.operationRunning = true;  // refused with a box
    AnswerNextBox();
    EXPECT_FALSE(w.main.close());
    EXPECT_FALSE(w.program.closed);

    w.program.conn.operationRunning = false;
    w.host.CloseMainWindow();  // queued, never from inside the handler that asks
    EXPECT_TRUE(w.main.isVisible());
    Settle();
    EXPECT_FALSE(w.main.isVisible());
    EXPECT_TRUE(w.program.closed);
}

TEST(OtherWindows, ShownByTheModelHiddenByClosing) {
    Windows w;
    for (auto [form, window] : {std::pair<Form*, QWidget*>{&w.program.about, &w.about},
                                {&w.program.password, &w.password}, {&w.program.jumperHelp, &w.jumperHelp}}) {
        SCOPED_TRACE(form->window.name);
        for (int round = 0; round < 3; ++round) {  // shown again: the same window
            form->window.SetVisible(true);
            Settle();
            EXPECT_TRUE(window->isVisible());
            if (round < 2) window->close();  // by the user, then by the model
            else form->window.SetVisible(false);
            Settle();
            EXPECT_FALSE(form->window.visible || window->isVisible());
        }
    }
}

}  // namespace
}  // namespace qvd::test
