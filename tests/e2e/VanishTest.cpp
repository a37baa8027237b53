// The adapter vanishes (its process killed, or its own vanishing faults) in
// each phase of the program's work. Whatever it was doing, the program must
// say so once, give the adapter up as the supervisor does, stay quiet and
// usable, and find the adapter again once it is back.
#include "sim/AdapterFacts.h"
#include "testkit/E2eRig.h"

#include <gtest/gtest.h>

namespace qvd::e2e {
namespace {

struct Case {
    const char* name;
    std::vector<std::string> options;  // type first
    std::function<void(E2eRig&, size_t mark)> pull;  // starts the work, and the adapter goes in it
    Lines told, notTold;  // beginnings of log lines (and, for notTold, of boxes)
    Lines took;           // since the work began; empty: the polls up to the kill
    std::function<void(E2eRig&)> check = {};
};

bool IsLinkFailure(const std::string& line) {
    return line.starts_with("Error retrieving statistics (") || line.starts_with("Write error (") ||
           line.starts_with("Read error (");
}

void PullAndFindAgain(const Case& c) {
    SCOPED_TRACE(c.name);
    E2eRig rig;
    E2eProgram& pc = rig.pc;
    ASSERT_TRUE(rig.adapter.Start(c.options));
    ASSERT_TRUE(pc.Connect());
    pc.Mark();
    const size_t mark = rig.adapter.Received().size();
    c.pull(rig, mark);

    // The port failure told once, then the supervisor's two warnings and its
    // give-up. 30 s: about 6 s after the pull, never at the end of a wait.
    ASSERT_TRUE(pc.host.RunUntil([&] { return pc.Dropped(); }, 30000)) << ::testing::PrintToString(pc.Log());
    rig.adapter.JoinKiller();
    const Lines log = pc.Log();
    const std::string shown = ::testing::PrintToString(log);
    EXPECT_LT(std::find_if(log.begin(), log.end(), IsLinkFailure), std::find(log.begin(), log.end(), kNoContact1)) << shown;
    EXPECT_EQ(std::count_if(log.begin(), log.end(), IsLinkFailure), 1) << shown;
    EXPECT_EQ(Count(log, kNoContact2), 1);
    EXPECT_EQ(Count(log, kGivenUp), 1);
    EXPECT_EQ(Count(pc.Boxes(), kNoConnectionBox), 1);
    for (const std::string& line : c.told) EXPECT_TRUE(HasPrefix(log, line)) << line << shown;
    for (const std::string& line : c.notTold) EXPECT_FALSE(HasPrefix(log, line) || HasPrefix(pc.Boxes(), line)) << line << shown;
    const Lines took = From(rig.adapter.Received(), mark);
    EXPECT_TRUE(c.took.empty() || took == c.took) << ::testing::PrintToString(took);
    if (c.check) c.check(rig);

    // A window that takes input (a callback posted from elsewhere runs) and
    // spends no CPU on the dead port.
    bool ran = false;
    std::thread([&] { pc.host.Post([&] { ran = true; }); }).join();
    EXPECT_TRUE(pc.host.RunUntil([&] { return ran; }, 5000));
    EXPECT_LT(pc.CpuShareWhileRunning(1000), 0.3);

    // Plugged in again: the next search finds it.
    ASSERT_TRUE(rig.adapter.Start({c.options[0], c.options[1]}));
    EXPECT_TRUE(pc.Search()) << ::testing::PrintToString(pc.Log());
}

TEST(Vanish, WhileIdleDuringAPollAndDuringEachKindOfWork) {
    const auto image = [](size_t size, int seed) {  // unlike any marker pattern
        std::string bytes(size, '\0');
        for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + (i >> 8) * 3 + seed);
        return bytes;
    };
    const size_t bw1Ram = sim::ModuleOf(1).ramBytes;
    const std::string ram = image(sim::ModuleOf(3).ramBytes, 1);
    ScratchDir images;
    WriteFile(images / "ram", ram);
    WriteFile(images / "bw1", image(bw1Ram, 2));
    const Case cases[] = {
        {"idle between polls", {"--type", "3"}, [](E2eRig& r, size_t mark) { r.adapter.KillOn("r", mark, 400); }, {}, {}, {}},
        {"waiting for a poll's answer", {"--type", "3"}, [](E2eRig& r, size_t mark) { r.adapter.KillOn("r", mark, 0); },
         {}, {}, {}},
        {"RAM save",
         {"--type", "3", "--ram", (images / "ram").string(), "--vanish-after-stream", "3000"},
         [](E2eRig& r, size_t) {
             r.pc.host.saveAnswers.push_back((r.dir / "ram.dat").string());
             r.pc.form().ramSaveButton.OnClick();
             EXPECT_TRUE(r.pc.host.RunUntil([&] { return r.adapter.ExitStatus() == 3; }, 20000));  // vanished
         },
         {"Übertragung NICHT vollständig. Gesamtbyte Rx/Datei:3000/3000"},
         {"Übertragung erfolgreich"},
         {"d0000", "a"},
         [&](E2eRig& r) { EXPECT_TRUE(ReadFile(r.dir / "ram.dat") == ram.substr(0, 3000)); }},  // what came is kept
        // A BW module's 64 KiB: long enough on the wire for the cut to land
        // in it (a vanishing qvd-sim takes bytes for a moment before its
        // terminal goes).
        {"restore",
         {"--type", "1", "--vanish-after-image", "3000"},
         [&](E2eRig& r, size_t) {
             r.pc.host.yesNoAnswers.push_back(true);
             r.pc.host.openAnswers.push_back((images / "bw1").string());
             r.pc.form().ramRestoreButton.OnClick();
             EXPECT_TRUE(r.pc.host.RunUntil([&] { return r.adapter.ExitStatus() == 3; }, 20000));  // vanished
         },
         {"gesendete Byte: ", "Datenübertragungsfehler: Abweichende Byteanzahl"},
         {"gesendete Byte: " + std::to_string(bw1Ram) + "/" + std::to_string(bw1Ram), "Daten erfolgreich übertragen..."},
         {"n8000", "<image 3000>"}},
        // At the line rate the dump takes minutes. A dump has no length to be
        // checked against; cut by a lost adapter, it must not be a success.
        {"whole-EPROM view",
         {"--type", "3"},
         [](E2eRig& r, size_t) {
             r.pc.form().epromViewAllButton.OnClick();
             ASSERT_TRUE(r.pc.host.RunUntil([&] { return r.pc.form().epromView.lines.size() >= 20; }, 10000));
             r.adapter.Stop();
         },
         {"Übertragung abgebrochen: keine Verbindung zum QVD-Modul. Gesamtbyte:"},
         {"Übertragung erfolgreich beendet."},
         {"d0001", "h"},
         [](E2eRig& r) { EXPECT_GE(r.pc.form().epromView.lines.size(), 20u); }},  // what came stays in view
        // The EPROM checksum of a BW module 2 keeps the program waiting 42 s;
        // the adapter is pulled a second into it. The checksum never came: a
        // lost adapter, told at once, not a wrong checksum told 42 s later.
        {"42 s checksum wait",
         {"--type", "4", "--fast"},
         [](E2eRig& r, size_t mark) {
             r.adapter.KillOn("g0020", mark, 1000);
             r.pc.host.saveAnswers.push_back((r.dir / "eprom.hex").string());
             r.pc.form().epromSaveButton.OnClick();
         },
         {"EPROM-Überprüfung, bitte warten...", "Überprüfung nicht möglich: keine Verbindung zum QVD-Modul."},
         {"RAM/EPROM:UART/Datei = ", "Checksumme stimmt NICHT.", "moment...", "Checksummefehler"},
         {},
         [](E2eRig& r) { EXPECT_EQ(fs::file_size(r.dir / "eprom.hex"), sim::ModuleOf(4).epromBytes); }},  // whole before the wait
    };
    for (const Case& c : cases) PullAndFindAgain(c);
}

}  // namespace
}  // namespace qvd::e2e
