// The adapter vanishes (its process killed, or its own vanishing faults) in
// each phase of the program's work. Whatever it was doing, the program must
// say so once, give the adapter up as the supervisor does, stay quiet and
// usable, and find the adapter again once it is back.
#include "e2e/E2eRig.h"

#include <gtest/gtest.h>

namespace qvd::e2e {
namespace {

struct Rig {
    TempDir dir;
    Adapter adapter{dir / "ports" / "COM1"};
    E2eProgram pc{dir / "ports"};

    // An image of `size` bytes unlike any marker pattern, for --ram.
    std::string Image(size_t size, int seed) {
        std::string bytes(size, '\0');
        for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + (i >> 8) * 3 + seed);
        WriteAll(dir / ("image-" + std::to_string(seed)), bytes);
        return bytes;
    }
};

bool IsLinkFailure(const std::string& line) {
    return line.starts_with("Error retrieving statistics (") || line.starts_with("Write error (") ||
           line.starts_with("Read error (");
}

std::string Joined(const Lines& lines) {
    std::string text;
    for (const std::string& l : lines) text += l + "\n";
    return text;
}

// What every lost adapter comes to: the port failure told once; the
// supervisor's two warnings and its give-up; then a window that takes input
// and spends no CPU.
void ExpectGivenUp(Rig& rig, uint32_t maxMs = 20000) {
    E2eProgram& pc = rig.pc;
    ASSERT_TRUE(pc.host.RunUntil([&] { return pc.Dropped(); }, maxMs)) << Joined(pc.Log());
    const Lines log = pc.Log();
    const auto failure = std::find_if(log.begin(), log.end(), IsLinkFailure);
    const auto warning = std::find(log.begin(), log.end(), kNoContact1);
    EXPECT_LT(failure, warning) << Joined(log);
    EXPECT_EQ(std::count_if(log.begin(), log.end(), IsLinkFailure), 1) << Joined(log);
    EXPECT_EQ(Count(log, kNoContact2), 1);
    EXPECT_EQ(Count(log, kGivenUp), 1);
    EXPECT_EQ(Count(pc.Boxes(), kNoConnectionBox), 1);

    EXPECT_TRUE(pc.Responsive());
    const double share = pc.CpuShareWhileRunning(1000);
    EXPECT_LT(share, 0.3);  // well below a core: nothing spins on the dead port
    if (std::getenv("QVD_E2E_SHOW")) std::printf("--- CPU after giving up: %.2f%% of a core\n", share * 100);
}

// The adapter plugged in again: the next search finds it.
void ExpectFoundAgain(Rig& rig, const std::vector<std::string>& options) {
    ASSERT_TRUE(rig.adapter.Start(options));
    EXPECT_TRUE(rig.pc.Search()) << Joined(rig.pc.Log());
    EXPECT_EQ(Count(rig.adapter.Received(), "i"), 1);
}

// The EPROM checksum of a BW module 2 keeps the program waiting 42 s; the
// adapter is pulled a second into it, and `meanwhile` runs on then.
void PullTheAdapterDuringTheLongChecksumWait(Rig& rig, std::function<void()> meanwhile = {}) {
    ASSERT_TRUE(rig.adapter.Start({"--type", "4", "--fast"}));
    ASSERT_TRUE(rig.pc.Connect());
    rig.pc.Mark();
    rig.adapter.KillOn("g0020", rig.adapter.Received().size(), 1000, std::move(meanwhile));
    rig.pc.host.saveAnswers.push_back((rig.dir / "eprom.hex").string());
    rig.pc.form().epromSaveButton.OnClick();
}

TEST(Vanish, DuringTheLongChecksumWait) {
    Rig rig;
    std::atomic<bool> ran{false};
    std::atomic<double> cpuShareAfterKill{-1};
    PullTheAdapterDuringTheLongChecksumWait(rig, [&] {
        // The wait ends with the port: nothing spins, and the event loop turns.
        const double cpu = ProcessCpuSeconds();
        const auto start = SteadyClock::now();
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        cpuShareAfterKill = (ProcessCpuSeconds() - cpu) * 1000.0 / MsSince(start);
        rig.pc.host.Post([&] { ran = true; });
        WaitFor([&] { return ran.load(); }, 10000);
    });
    ExpectGivenUp(rig, 90000);
    rig.adapter.JoinKiller();
    EXPECT_TRUE(ran);
    EXPECT_GE(cpuShareAfterKill, 0.0);
    EXPECT_LT(cpuShareAfterKill, 0.3);
    const Lines log = rig.pc.Log();
    EXPECT_EQ(Count(log, "EPROM-Überprüfung, bitte warten..."), 1) << Joined(log);
    EXPECT_FALSE(HasPrefix(log, "RAM/EPROM:UART/Datei = ")) << Joined(log);
    // The module's checksum never came: a lost adapter, told at once, not a
    // wrong checksum of the module told when the 42 s are over.
    EXPECT_EQ(Count(log, "Überprüfung nicht möglich: keine Verbindung zum QVD-Modul."), 1) << Joined(log);
    EXPECT_FALSE(HasPrefix(log, "Checksumme stimmt NICHT.")) << Joined(log);
    EXPECT_FALSE(HasPrefix(log, "moment...")) << Joined(log);
    for (const std::string& box : rig.pc.Boxes()) EXPECT_FALSE(box.starts_with("Checksummefehler")) << box;
    EXPECT_EQ(fs::file_size(rig.dir / "eprom.hex"), 1048576u);  // the file came whole before the wait
    ExpectFoundAgain(rig, {"--type", "4", "--fast"});
}

TEST(Vanish, WhileIdleOrDuringAPoll) {
    struct Case { const char* name; int delayAfterPollMs; };
    for (const Case& c : {Case{"idle between polls", 400}, Case{"waiting for a poll's answer", 0}}) {
        SCOPED_TRACE(c.name);
        Rig rig;
        const std::vector<std::string> options = {"--type", "3"};
        ASSERT_TRUE(rig.adapter.Start(options));
        ASSERT_TRUE(rig.pc.Connect()) << Joined(rig.pc.Log());
        rig.pc.Mark();
        rig.adapter.KillOn("r", rig.adapter.Received().size(), c.delayAfterPollMs);
        ExpectGivenUp(rig);
        rig.adapter.JoinKiller();
        ExpectFoundAgain(rig, options);
    }
}

TEST(Vanish, DuringARamSave) {
    Rig rig;
    const std::string ram = rig.Image(8184, 1);
    ASSERT_TRUE(rig.adapter.Start({"--type", "3", "--ram", (rig.dir / "image-1").string(), "--vanish-after-stream", "3000"}));
    ASSERT_TRUE(rig.pc.Connect());
    rig.pc.Mark();
    const size_t mark = rig.adapter.Received().size();
    rig.pc.host.saveAnswers.push_back((rig.dir / "ram.dat").string());
    rig.pc.form().ramSaveButton.OnClick();
    ASSERT_TRUE(rig.pc.host.RunUntil([&] { return rig.adapter.Exited(); }, 20000));
    EXPECT_EQ(rig.adapter.ExitStatus(), 3);
    const Lines sent = From(rig.adapter.Received(), mark);
    EXPECT_EQ(Count(sent, "a"), 1);

    ExpectGivenUp(rig);
    const Lines log = rig.pc.Log();
    EXPECT_TRUE(HasPrefix(log, "Übertragung NICHT vollständig. Gesamtbyte Rx/Datei:3000/3000")) << Joined(log);
    EXPECT_FALSE(HasPrefix(log, "Übertragung erfolgreich"));
    EXPECT_TRUE(ReadAll(rig.dir / "ram.dat") == ram.substr(0, 3000));  // what came is kept
    ExpectFoundAgain(rig, {"--type", "3"});
}

// A BW module's 64 KiB: long enough on the wire for the cut to land in it
// (a vanishing qvd-sim takes bytes for a moment before its terminal goes).
TEST(Vanish, DuringARestore) {
    Rig rig;
    ASSERT_TRUE(rig.adapter.Start({"--type", "1", "--vanish-after-image", "3000"}));
    ASSERT_TRUE(rig.pc.Connect());
    rig.Image(65536, 2);
    rig.pc.Mark();
    const size_t mark = rig.adapter.Received().size();
    rig.pc.host.yesNoAnswers.push_back(true);
    rig.pc.host.openAnswers.push_back((rig.dir / "image-2").string());
    rig.pc.form().ramRestoreButton.OnClick();
    ASSERT_TRUE(rig.pc.host.RunUntil([&] { return rig.adapter.Exited(); }, 20000));
    EXPECT_EQ(rig.adapter.ExitStatus(), 3);
    const Lines took = From(rig.adapter.Received(), mark);
    ASSERT_EQ(took.size(), 2u) << Joined(took);
    EXPECT_TRUE(took[0].starts_with("n"));
    EXPECT_EQ(took[1], "<image 3000>");

    ExpectGivenUp(rig);
    const Lines log = rig.pc.Log();
    EXPECT_TRUE(HasPrefix(log, "gesendete Byte: "));
    EXPECT_FALSE(HasPrefix(log, "gesendete Byte: 65536/65536"));
    EXPECT_EQ(Count(log, "Datenübertragungsfehler: Abweichende Byteanzahl"), 1);
    EXPECT_EQ(Count(log, "Daten erfolgreich übertragen..."), 0);
    ExpectFoundAgain(rig, {"--type", "1"});
}

TEST(Vanish, DuringAView) {
    Rig rig;
    ASSERT_TRUE(rig.adapter.Start({"--type", "3"}));  // at the line rate: the dump takes minutes
    ASSERT_TRUE(rig.pc.Connect());
    rig.pc.Mark();
    rig.pc.form().epromViewAllButton.OnClick();
    ASSERT_TRUE(rig.pc.host.RunUntil([&] { return rig.pc.form().epromView.lines.size() >= 20; }, 10000));
    rig.adapter.Stop(SIGKILL);
    ExpectGivenUp(rig);
    EXPECT_GE(rig.pc.form().epromView.lines.size(), 20u);  // what came stays in view
    // A dump has no length to be checked against; cut by a lost adapter, it
    // must not be called a success.
    const Lines log = rig.pc.Log();
    EXPECT_TRUE(HasPrefix(log, "Übertragung abgebrochen: keine Verbindung zum QVD-Modul. Gesamtbyte:")) << Joined(log);
    EXPECT_FALSE(HasPrefix(log, "Übertragung erfolgreich beendet.")) << Joined(log);
    ExpectFoundAgain(rig, {"--type", "3"});
}

}  // namespace
}  // namespace qvd::e2e
