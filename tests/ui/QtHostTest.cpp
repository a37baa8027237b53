#include "core/form/MainForm.h"
#include "core/host/EventPump.h"
#include "core/serial/EVaCommError.h"
#include "ui/FileDialogs.h"
#include "ui/QtHost.h"
#include "Windows.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <ctime>

namespace qvd::test {
namespace {

double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec / 1e9;
}

// Confirms the next modal box after `inspect` has looked at it.
void AnswerNextBox(std::function<void(QMessageBox&)> inspect) {
    QTimer::singleShot(0, [inspect = std::move(inspect)] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        inspect(*box);
        box->accept();
    });
}

TEST(QtHost, WaitSleepsInTheEventWaitYetDispatches) {
    ui::QtHost host;
    EventPump pump(host);
    bool posted = false, timerRan = false;
    host.Post([&] { posted = true; });
    QTimer::singleShot(300, [&] { timerRan = true; });

    QElapsedTimer wall;
    wall.start();
    const double cpuBefore = CpuSeconds();
    pump.DelayWithEvents(1500);
    const double cpu = CpuSeconds() - cpuBefore;

    EXPECT_TRUE(posted);
    EXPECT_TRUE(timerRan);
    EXPECT_GE(wall.elapsed(), 1500);
    EXPECT_LT(cpu, 0.075) << "CPU seconds spent waiting 1.5 s";
    std::printf("[ measure  ] DelayWithEvents(1500): %.1f ms CPU, %lld ms wall\n", cpu * 1000,
                static_cast<long long>(wall.elapsed()));
}

TEST(QtHost, CoreTimersTickAtTheirOwnRates) {
    ui::QtHost host;
    EventPump pump(host);
    Timer fast(pump, 30), slow(pump, 70);
    int fastTicks = 0, slowTicks = 0;
    fast.OnTimer = [&] { ++fastTicks; };
    slow.OnTimer = [&] { ++slowTicks; };
    fast.SetEnabled(true);
    slow.SetEnabled(true);
    pump.DelayWithEvents(700);
    // About 23 and 10; loose bounds for a loaded machine.
    EXPECT_GE(fastTicks, 8);
    EXPECT_LE(fastTicks, 24);
    EXPECT_GE(slowTicks, 4);
    EXPECT_LE(slowTicks, 11);
}

TEST(QtHost, TickFallingDueDuringATicksWaitRunsNested) {
    ui::QtHost host;
    EventPump pump(host);
    Timer timer(pump, 50);
    int depth = 0, nested = 0;
    timer.OnTimer = [&] {
        if (depth > 0) {
            ++nested;
            return;
        }
        ++depth;
        pump.DelayWithEvents(300);
        --depth;
    };
    timer.SetEnabled(true);
    pump.DelayWithEvents(500);
    EXPECT_GE(nested, 2);
}

TEST(QtHost, TicksRunWhileAModalBoxIsOpen) {
    ui::QtHost host;
    EventPump pump(host);
    Timer timer(pump, 40);
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    timer.SetEnabled(true);
    QTimer::singleShot(500, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->accept();
    });
    host.ShowMessage(kWindowCaption, "wait", MessageIcon::Information);
    EXPECT_GE(ticks, 4);
}

TEST(QtHost, BoxShowsTitleIconAndLinesOfTheText) {
    struct Case { MessageIcon icon; QMessageBox::Icon shown; };
    for (Case c : {Case{MessageIcon::None, QMessageBox::NoIcon},
                   Case{MessageIcon::Error, QMessageBox::Critical},
                   Case{MessageIcon::Warning, QMessageBox::Warning},
                   Case{MessageIcon::Information, QMessageBox::Information}}) {
        ui::QtHost host;
        QMessageBox::Icon icon{};
        QString title, text;
        int buttons = 0;
        AnswerNextBox([&](QMessageBox& box) {
            icon = box.icon();
            title = box.windowTitle();
            text = box.text();
            buttons = static_cast<int>(box.buttons().size());
        });
        host.ShowMessage(kWindowCaption, "Fataler QVD-Modul-Fehler\r\rBW- oder <NSM>", c.icon);
        EXPECT_EQ(icon, c.shown);
        EXPECT_EQ(title, QString::fromLatin1(kWindowCaption));
        EXPECT_EQ(text, QStringLiteral("Fataler QVD-Modul-Fehler\n\nBW- oder <NSM>"));
        EXPECT_EQ(buttons, 1);
    }
}

TEST(QtHost, BoxShowsTheModelAsItIsWhenTheBoxOpens) {
    Windows w;
    QString logShown;
    // Queued before the log line, so it runs before any refresh the line schedules.
    AnswerNextBox([&](QMessageBox&) { logShown = w.Find<QPlainTextEdit>("Memo1")->toPlainText(); });
    w.form().LogInfo("vor der Box");
    w.host.ShowMessage(kWindowCaption, "x", MessageIcon::Error);
    EXPECT_EQ(logShown, QStringLiteral("vor der Box"));
}

TEST(QtHost, ExceptionOutOfAHandlerIsShownInABox) {
    ui::QtHost host;
    QString title, text;
    AnswerNextBox([&](QMessageBox& box) {
        title = box.windowTitle();
        text = box.text();
    });
    host.Run([] { throw EVaCommError("Specified device not found (COM3)."); });
    EXPECT_EQ(title, QStringLiteral("QVD-PC"));
    EXPECT_EQ(text, QStringLiteral("Specified device not found (COM3)."));
}

TEST(QtHost, CloseOfTheMainWindowIsQueued) {
    Windows w;
    w.host.CloseMainWindow();
    EXPECT_TRUE(w.main.isVisible());
    Settle();
    EXPECT_FALSE(w.main.isVisible());
    EXPECT_TRUE(w.program.closed);
}

TEST(FileDialogs, DesignerFiltersBecomeQtFilters) {
    struct Case { const char* in; const char* out; };
    for (Case c : {Case{"(*.txt)|*.txt|(*.*)|*.*", "(*.txt);;(*.*)"},
                   Case{"RAM-Dateien|*.dat", "RAM-Dateien (*.dat)"},
                   Case{"Bilder|*.jpg;*.png", "Bilder (*.jpg *.png)"},
                   Case{"RAM-Dateien (*.dat)", "RAM-Dateien (*.dat)"},
                   Case{"", ""}})
        EXPECT_EQ(ui::QtNameFilters(c.in), QString::fromUtf8(c.out)) << c.in;
}

}  // namespace
}  // namespace qvd::test
