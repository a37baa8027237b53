#include "Windows.h"
#include "core/host/EventPump.h"
#include "ui/FileDialogs.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>

#include <gmock/gmock.h>

#include <ctime>

namespace qvd::test {
namespace {

using testing::AllOf, testing::Ge, testing::Le;

TEST(QtHost, WaitSleepsInTheEventWaitYetRunsPostsAndTimers) {
    ui::QtHost host;
    EventPump pump(host);
    bool posted = false;
    host.Post([&] { posted = true; });
    Timer fast(pump, 30), slow(pump, 70);
    int fastTicks = 0, slowTicks = 0, fastTicksNested = 0;
    fast.OnTimer = [&] { ++fastTicks; };
    // Ticks falling due while a tick's handler waits run nested.
    slow.OnTimer = [&] {
        if (++slowTicks != 1) return;
        const int before = fastTicks;
        pump.DelayWithEvents(300);
        fastTicksNested = fastTicks - before;
    };
    fast.SetEnabled(true);
    slow.SetEnabled(true);

    QElapsedTimer wall;
    wall.start();
    const std::clock_t cpuBefore = std::clock();
    pump.DelayWithEvents(1500);
    const double cpu = static_cast<double>(std::clock() - cpuBefore) / CLOCKS_PER_SEC;

    EXPECT_TRUE(posted);
    EXPECT_GE(wall.elapsed(), 1500);
    EXPECT_LT(cpu, 0.075) << "CPU seconds spent waiting 1.5 s";
    // Each core timer at its own rate, about 50 and 21 ticks; loose bounds for a loaded machine.
    EXPECT_THAT(fastTicks, AllOf(Ge(15), Le(51)));
    EXPECT_THAT(slowTicks, AllOf(Ge(7), Le(22)));
    EXPECT_GE(fastTicksNested, 3);
}

TEST(QtHost, BoxShowsTitleIconAndLinesOfTheText) {
    ui::QtHost host;
    auto show = [&host](MessageIcon icon) {
        return [&host, icon] { host.ShowMessage(kWindowCaption, "Fataler Fehler\r\rBW- oder <NSM>", icon); };
    };
    const char* lines = "Fataler Fehler\n\nBW- oder <NSM>";
    struct Case { std::function<void()> open; QMessageBox::Icon icon; const char* title; const char* text; };
    const Case cases[] = {
        {show(MessageIcon::None), QMessageBox::NoIcon, kWindowCaption, lines},
        {show(MessageIcon::Error), QMessageBox::Critical, kWindowCaption, lines},
        {show(MessageIcon::Warning), QMessageBox::Warning, kWindowCaption, lines},
        {show(MessageIcon::Information), QMessageBox::Information, kWindowCaption, lines},
        // An exception out of a handler: an error box under the program's title.
        {[&host] { host.Run([] { throw EVaCommError("Specified device not found (COM3)."); }); },
         QMessageBox::Critical, "QVD-PC", "Specified device not found (COM3)."},
    };
    for (const Case& c : cases) {
        std::tuple<QMessageBox::Icon, QString, QString, qsizetype> shown;
        AnswerNextBox([&](QMessageBox& b) { shown = {b.icon(), b.windowTitle(), b.text(), b.buttons().size()}; });
        c.open();
        EXPECT_EQ(shown, std::make_tuple(c.icon, QString::fromUtf8(c.title), QString::fromUtf8(c.text), qsizetype{1}));
    }
}

TEST(QtHost, WhileABoxIsOpenTheWindowShowsTheModelAndTimersTick) {
    Windows w;
    Timer timer(w.program.pump, 40);
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    timer.SetEnabled(true);
    QString logShown;
    // Queued before the log line, so it runs before any refresh the line schedules.
    QPlainTextEdit* log = w.Find<QPlainTextEdit>("Memo1");
    QTimer::singleShot(0, [&] { logShown = log->toPlainText(); });
    AnswerNextBox({}, 500);
    w.form().LogInfo("vor der Box");
    w.host.ShowMessage(kWindowCaption, "x", MessageIcon::Error);
    EXPECT_EQ(logShown, QStringLiteral("vor der Box"));
    EXPECT_GE(ticks, 4);
}

TEST(FileDialogs, PipeSeparatedFiltersBecomeQtFilters) {
    struct Case { const char* in; const char* out; };
    for (Case c : {Case{"(*.txt)|*.txt|(*.*)|*.*", "(*.txt);;(*.*)"}, Case{"RAM-Dateien|*.dat", "RAM-Dateien (*.dat)"},
                   Case{"Bilder|*.jpg;*.png", "Bilder (*.jpg *.png)"}, Case{"RAM-Dateien (*.dat)", "RAM-Dateien (*.dat)"},
                   Case{"", ""}})
        EXPECT_EQ(ui::QtNameFilters(c.in), QString::fromUtf8(c.out)) << c.in;
}

}  // namespace
}  // namespace qvd::test
