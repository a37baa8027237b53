#include "Windows.h"
#include "core/host/EventPump.h"
#include "ui/FileDialogs.h"

#include <ctime>

namespace qvd::test {
namespace {

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
    EXPECT_LT(double(std::clock() - cpuBefore) / CLOCKS_PER_SEC, 0.075) << "CPU seconds spent waiting 1.5 s";
    EXPECT_TRUE(posted);
    EXPECT_GE(wall.elapsed(), 1500);
    // Each timer at its own rate, about 50 and 21 ticks; loose bounds for a loaded machine.
    EXPECT_TRUE(fastTicks >= 15 && fastTicks <= 51) << fastTicks;
    EXPECT_TRUE(slowTicks >= 7 && slowTicks <= 22) << slowTicks;
    EXPECT_GE(fastTicksNested, 3);
}

// While a box is open, the window shows the model as it was when the box
// opened, and the program's timers go on ticking.
TEST(QtHost, BoxesShowTheirTextInLinesOverALiveWindow) {
    Windows w;
    Timer timer(w.program.pump, 40);
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    timer.SetEnabled(true);
    QString logShown;
    // Queued before the log line, so it runs before any refresh the line schedules.
    QTimer::singleShot(0, [&] { logShown = w.Find<QPlainTextEdit>("Memo1")->toPlainText(); });
    using Shown = std::tuple<QMessageBox::Icon, QString, QString, qsizetype>;
    Shown shown;
    auto look = [&shown](QMessageBox& b) { shown = {b.icon(), b.windowTitle(), b.text(), b.buttons().size()}; };
    AnswerNextBox(look, 500);
    w.form().LogInfo("vor der Box");
    w.host.ShowMessage(kWindowCaption, "Fataler Fehler\r\rBW- oder <NSM>", MessageIcon::Warning);
    EXPECT_EQ(shown, Shown(QMessageBox::Warning, kWindowCaption, "Fataler Fehler\n\nBW- oder <NSM>", 1));
    EXPECT_EQ(logShown, QStringLiteral("vor der Box"));
    EXPECT_GE(ticks, 4);
    // An exception out of a handler: an error box under the program's title.
    AnswerNextBox(look);
    w.host.Run([] { throw EVaCommError("Specified device not found (COM3)."); });
    EXPECT_EQ(shown, Shown(QMessageBox::Critical, "QVD-PC", "Specified device not found (COM3).", 1));
}

TEST(FileDialogs, PipeSeparatedFiltersBecomeQtFilters) {
    struct Case { const char* in; const char* out; };
    for (Case c : {Case{"(*.txt)|*.txt|(*.*)|*.*", "(*.txt);;(*.*)"}, Case{"Bilder|*.jpg;*.png", "Bilder (*.jpg *.png)"},
                   Case{"RAM-Dateien (*.dat)", "RAM-Dateien (*.dat)"}, Case{"", ""}})
        EXPECT_EQ(ui::QtNameFilters(c.in), QString::fromUtf8(c.out)) << c.in;
}

}  // namespace
}  // namespace qvd::test
