#include "Windows.h"
#include "ui/ImageView.h"
#include "ui/MainLayout.h"

namespace qvd::test {
namespace {

// What a widget shows as its caption, for the kinds that show one.
std::optional<QString> ShownCaption(QObject* w) {
    if (auto* a = qobject_cast<QAction*>(w)) return a->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* m = qobject_cast<QMenu*>(w)) return m->title();
    if (auto* i = dynamic_cast<ui::ImageView*>(w)) return i->Source();
    if (auto* p = qobject_cast<QProgressBar*>(w)) return p->text();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    return std::nullopt;
}

// What an assistive tool reads of a widget.
QString Said(QWidget* w) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    QAccessibleTextInterface* t = a->textInterface();
    return t ? t->text(0, t->characterCount()) : a->text(QAccessible::Name);
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
            EXPECT_EQ(ShownCaption(found).value_or(caption), caption) << ctl->name;
            auto* widget = qobject_cast<QWidget*>(found);
            if (!widget) continue;  // a menu entry
            EXPECT_EQ(widget->accessibleDescription(), name);
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
    std::string ran;
    for (Control* c : w.form().Controls()) {
        const bool item = c->kind == ControlKind::MenuItem;
        if (!item && c->kind != ControlKind::Button && c->kind != ControlKind::CheckBox) continue;
        c->OnClick = [&ran, c] { ran = c->name; };
        if (item)
            w.Find<QAction>(c->name)->trigger();
        else  // on the left, where a check box has its box
            QTest::mouseClick(w.Find(c->name), Qt::LeftButton, {}, QPoint(6, w.Find(c->name)->height() / 2));
        EXPECT_EQ(std::exchange(ran, {}), c->name);
    }
    int steps = 0;
    w.form().cellAddressArrows.OnStep = [&](int step) { steps += step == 1 ? 1 : step == -1 ? 10 : 100; };
    for (auto* arrow : w.Find("UpDown1")->findChildren<QToolButton*>()) QTest::mouseClick(arrow, Qt::LeftButton);
    EXPECT_EQ(steps, 11);
}

// However a tick is changed, the program hears of it once, with the new
// tick; the program's own change of the model is not heard of. The tick mark
// of a menu entry is the model's alone.
TEST(MainWindow, EveryUserChangeOfATickReachesTheProgramOnce) {
    Windows w;
    w.RevealAll();
    Control &check = w.form().extraFunctionsCheck, &service = w.form().serviceItem;
    auto* box = w.Find<QCheckBox>("CheckBox3");
    QAction* item = w.Find<QAction>("Service1");
    auto agree = [&] { return box->isChecked() == check.checked && item->isChecked() == service.checked; };
    int calls = 0;
    check.OnClick = service.OnClick = [&] { ++calls; EXPECT_TRUE(agree()); };
    using Actions = QAccessibleActionInterface;
    auto act = [](QAccessibleInterface* a, const QString& action) { a->actionInterface()->doAction(action); };
    QMenu* menu = w.Find<QMenu>("Extr");
    struct Case { const char* how; std::function<void()> change; };
    const Case cases[] = {
        {"click", [&] { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2)); }},
        {"Space", [&] { QTest::keyClick(box, Qt::Key_Space); }},
        {"accessible toggle", [&] { act(QAccessible::queryAccessibleInterface(box), Actions::toggleAction()); }},
        {"set by a tool", [&] { box->setChecked(!box->isChecked()); }},
        {"refused by the program", [&] { check.OnClick = [&] { ++calls; check.SetChecked(false); }; box->toggle(); }},
        {"menu entry pressed", [&] {
             act(QAccessible::queryAccessibleInterface(menu)->child(menu->actions().indexOf(item)), Actions::pressAction());
         }},
    };
    for (const Case& c : cases) {
        for (bool tick : {true, false}) {
            calls = 0;
            check.SetChecked(!tick);
            service.SetChecked(tick);
            Settle();
            EXPECT_TRUE(agree()) << "shown, not heard";
            c.change();
            Settle();
            EXPECT_EQ(calls, 1) << c.how;
            EXPECT_TRUE(agree()) << c.how;
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
    auto color = [&](const char* name, QPalette::ColorRole role) { return w.Find(name)->palette().color(role); };
    QScrollBar* logBar = w.Find<QPlainTextEdit>("Memo1")->verticalScrollBar();
    QTextDocument* ram = w.Find<QPlainTextEdit>("DBMemo1")->document();
    auto* progress = w.Find<QProgressBar>("ProgressBar1");
    const std::string nul("Antwort \0 weiter", 16), progressText = "42 % (noch 12 s)";
    const QString nulShown = QStringLiteral("Antwort \u2400 weiter");
    struct Case { const char* what; std::function<void()> change; std::function<bool()> shown; };
    const Case cases[] = {
        // Assistive tools take a NUL for the end of the text.
        {"NUL", [&] { f.LogInfo(nul); f.infoMemo.AddLine(nul); },
         [&] { return Said(w.Find("Memo1")) == nulShown && Said(w.Find("Memo2")) == nulShown &&
                      Said(w.Find("StatusBar2.1")) == nulShown; }},
        {"visible", [&] { f.memoryGroup.SetVisible(true); }, [&] { return !w.Find("GroupBox4")->isHidden(); }},
        {"menu enabled", [&] { f.helpMenu.SetEnabled(true); },
         [&] { return w.Find<QMenu>("Info1")->menuAction()->isEnabled(); }},
        {"log colours", [&] { f.LogError("Fehler"); },
         [&] { return color("Memo1", QPalette::Base) == Qt::red && color("Memo1", QPalette::Text) == Qt::yellow; }},
        {"log scrolled to its end", [&] { for (int i = 0; i < 200; ++i) f.LogLine("Zeile " + std::to_string(i)); },
         [&] { return logBar->maximum() > 0 && logBar->value() == logBar->maximum(); }},
        {"indicator", [&] { f.activityIndicator.SetColor(colors::Aqua); },
         [&] { return color("Panel4", QPalette::Window) == Qt::cyan; }},
        {"memo append", [&] { f.ramView.AddLine("0000: 41\r"); }, [&] { return ram->toPlainText() == "0000: 41"; }},
        // Lines already shown stay as they are (a rebuild would drop the mark).
        {"memo appended to", [&] { ram->firstBlock().setUserState(7); f.ramView.AddText("0010: 43\r0020: 45"); },
         [&] { return ram->toPlainText() == "0000: 41\n0010: 43\n0020: 45" && ram->firstBlock().userState() == 7; }},
        {"memo rebuilt", [&] { f.ramView.Clear(); f.ramView.AddLine("neu"); },
         [&] { return ram->toPlainText() == "neu"; }},
        {"memo line changed in place", [&] { f.ramView.lines[0] = "geändert"; f.ramView.Touch(); },
         [&] { return ram->toPlainText() == QStringLiteral("geändert"); }},
        {"progress",
         [&] { f.progressBar.SetVisible(true); f.progressBar.SetPosition(42); f.progressBar.SetCaption(progressText); },
         [&] { return !progress->isHidden() && progress->value() == 42 && progress->text() == progressText.c_str() &&
                      Said(progress) == progressText.c_str() &&
                      progress->x() == w.Find("StatusBar2.3")->geometry().right() + 1; }},
    };
    for (const Case& c : cases) {
        c.change();
        Settle();
        EXPECT_TRUE(c.shown()) << c.what;
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
        std::string seen;
        for (const char* region : regions) {
            const QRect r = w.Find(region)->geometry();
            seen += area.contains(r) ? 'y' : area.intersects(r) ? '/' : 'n';  // '/': cut in half
        }
        EXPECT_EQ(seen, c.seen) << c.width << "x" << c.height;
    }
}

TEST(MainWindow, CloseGoesThroughTheProgram) {
    Windows w;
    w.program.runner.BeginTransfer(TransferKind::RamView);  // refused with a box
    AnswerNextBox();
    EXPECT_FALSE(w.main.close());
    EXPECT_FALSE(w.program.closed);

    w.program.runner.EndTransfer();
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
