// Whole RAM and EPROM transfers against the virtual adapter: what reaches
// the file, what reaches the module, and what the user is told.
#include "testkit/ScratchDir.h"
#include "testkit/Rig.h"

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>

namespace qvd::test {
namespace {


constexpr const char* kVerified = "OK";
const std::string kRepeatRead = "Den RAM/EPROM-Auslesevorgang wiederholen.";

// Clicks a button with the given file chosen in its dialog.
void SaveWith(Rig& rig, Control& button, const std::string& path) {
    rig.host.saveAnswers.push_back(path);
    button.OnClick();
    ASSERT_TRUE(rig.RunUntilReleased());
}

// Asks to restore an image of the given bytes and confirms it.
void Restore(Rig& rig, const ScratchDir& dir, const std::string& image, bool confirm = true) {
    rig.host.yesNoAnswers.push_back(confirm);
    rig.host.openAnswers.push_back(dir.Write("image.dat", image));
    rig.form().ramRestoreButton.OnClick();
    ASSERT_TRUE(rig.RunUntilReleased());
}

// What reaches the file and what the user is told. The memory checksum is
// asked for only from version 1.10 on. Cut short (e2e Vanish), pauses, a byte
// spoilt on the wire and a checksum wrong only once (e2e StreamFaults) go
// through the real program.
TEST(RamSave, FileKeepsWhatCameAndOnlyAVerifiedSaveIsCalledSo) {
    using Kind = sim::StreamFault::Kind;
    const auto none = [](sim::QvdDevice&) {};
    struct Case {
        const char* name;
        uint8_t type;
        const char* version;
        std::function<void(sim::QvdDevice&)> fault;
        bool memoryChecksum;
        size_t fileBytes;  // the RAM's first bytes the file keeps
        std::string logStart, box;  // no box: verified
    };
    const size_t all = std::string::npos;
    const Case cases[] = {
        {"healthy", 1, "1.10", none, true, all, "Übertragung erfolgreich beendet. 65536/65536, ", ""},
        {"adapter before 1.10", 5, "1.05", none, false, all, "Übertragung erfolgreich beendet. 524288/524288, ", ""},
        {"no byte at all", 3, "1.30", [](sim::QvdDevice& d) { d.faults.stream = {Kind::Cut, 0}; }, false, 0,
         "Übertragung NICHT vollständig. Gesamtbyte Rx/Datei:0/0", "Übertragunsfehler\r\r" + kRepeatRead},
        {"memory checksum wrong twice, differing", 3, "1.30", [](sim::QvdDevice& d) { d.faults.wrongRamChecksums = 2; }, true, all,
         "Unterschiedliche RAM/EPROM Checksumme: Checksumme1=",
         "Unterschiedliche RAM/ERPOM-Checksummefehler, evtl. Kontaktprobleme\r\rKontaktverbindung prüfen "
         "und den RAM/EPROM-Auslesevorgang wiederholen."},
        {"memory checksum wrong, stable", 3, "1.30", [](sim::QvdDevice& d) { d.faults.wrongRamChecksums = -1; }, true, all,
         "Checksumme stimmt NICHT. RAM/EPROM-Checksumme:", "Checksummefehler\r\r" + kRepeatRead},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(Rig::Connected, c.type);
        // The search itself takes no adapter below 1.20.
        rig.program->runner.AdapterIdentified(c.version, false);
        c.fault(*rig.device);
        ScratchDir dir;
        rig.Mark();
        SaveWith(rig, rig.form().ramSaveButton, dir / "ram.dat");
        const bool verified = c.box.empty();
        EXPECT_TRUE(rig.LogStartsWith(c.logStart));
        EXPECT_EQ(rig.Boxes(), verified ? Lines{} : Lines{c.box});
        EXPECT_EQ(rig.Log().back() == kVerified, verified);
        EXPECT_EQ(Has(rig.Sent(), "g0010"), c.memoryChecksum);
        const std::string& ram = rig.device->config.ram;
        EXPECT_TRUE(std::filesystem::exists(dir / "ram.dat"));  // kept in every case
        EXPECT_TRUE(ReadFile(dir / "ram.dat") == ram.substr(0, c.fileBytes));
        EXPECT_FALSE(rig.form().progressBar.visible);
        if (verified) { EXPECT_EQ(rig.form().bytesPanel.caption, "Rx-Bytes: " + std::to_string(ram.size())); }
    }
}

// A save over the last good backup must not cost it: what arrived is put
// aside under a name that says so, and only a verified save replaces it.
TEST(RamSave, FailedSaveOverABackupLeavesTheBackup) {
    for (bool fails : {true, false}) {
        SCOPED_TRACE(fails);
        Rig rig(Rig::Connected, 3);
        if (fails) rig.device->faults.wrongRamChecksums = -1;
        ScratchDir dir;
        const std::string backup = dir.Write("ram.dat", "the old backup");
        const std::string aside = backup + ".unvollständig";
        SaveWith(rig, rig.form().ramSaveButton, backup);
        EXPECT_EQ(ReadFile(backup), fails ? "the old backup" : rig.device->config.ram);
        EXPECT_EQ(std::filesystem::exists(aside), fails);
        if (!fails) continue;
        EXPECT_TRUE(ReadFile(aside) == rig.device->config.ram);
        EXPECT_TRUE(rig.Boxes().back().ends_with("Die empfangenen Daten stehen unter: " + aside));
        EXPECT_TRUE(rig.LogHas("Datei unverändert: " + backup + ", empfangene Daten unter: " + aside));
    }
}

// Files that cannot be created or fill up are met by the file fault suite.
// A device or FIFO chosen under "(*.*)" would hold the window on its open
// (or never end, as /dev/zero): refused before the stream is asked for.
TEST(RamSave, SpecialFileIsRefusedBeforeAnythingIsSent) {
    ScratchDir dir;
    const std::string fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {std::string("/dev/zero"), fifo}) {
        Rig rig(Rig::Connected, 3);
        rig.Mark();
        SaveWith(rig, rig.form().ramSaveButton, path);
        EXPECT_EQ(rig.Boxes(), (Lines{"Dateifehler (open)\r\rDatei konnte nicht erzeugt werden.",
                                      "Dateifehler (open)\r\r" + kRepeatRead}));
        EXPECT_FALSE(Has(rig.Sent(), "a") || Has(rig.Sent(), "d0000")) << path;
    }
}

// A short stream that is over before the input hold ends raises no later
// notification; it must still reach the file.
TEST(RamSave, StreamThatEndsDuringTheInputHoldIsKept) {
    sim::DeviceConfig config;
    config.fallbackRamBytes = 32;
    Rig rig(Rig::Connected, 8, config);
    ScratchDir dir;
    SaveWith(rig, rig.form().ramSaveButton, dir / "ram.dat");
    EXPECT_TRUE(ReadFile(dir / "ram.dat") == rig.device->config.ram);
}

TEST(RamRestore, EveryByteReachesTheModuleInPacedBlocks) {
    struct Case { uint8_t type; size_t blocks; size_t lastBlock; };
    for (const Case& c : {Case{3, 128, 56}, Case{1, 1024, 64}}) {
        SCOPED_TRACE(int(c.type));
        Rig rig(Rig::Connected, c.type);
        std::string image(rig.device->config.ram.size(), '\0');
        for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 13 + 5);
        ScratchDir dir;
        Restore(rig, dir, image);
        EXPECT_TRUE(rig.device->config.ram == image);
        const auto& arrivals = rig.device->imageArrivals;
        ASSERT_EQ(arrivals.size(), c.blocks);
        EXPECT_EQ(arrivals.back().bytes, c.lastBlock);
        for (size_t i = 1; i < arrivals.size(); ++i)  // each block its line time and the pause
            EXPECT_GE(arrivals[i].atMs - arrivals[i - 1].atMs, 12u) << i;
        EXPECT_EQ(rig.Log().back(), "OK");  // the adapter's status text
    }
}

TEST(RamRestore, RefusedImagesSendNothing) {
    struct Case { const char* name; uint8_t type; size_t size; bool confirm; bool sizeError; };
    const Case cases[] = {
        {"one byte short", 1, 65535, true, true},
        {"other type's size", 4, 65536, true, true},
        {"no prescribed size, not whole blocks", 8, 100, true, true},
        {"not confirmed", 1, 65536, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(Rig::Connected, c.type);
        ScratchDir dir;
        rig.Mark();
        Restore(rig, dir, std::string(c.size, 'x'), c.confirm);
        for (const std::string& line : rig.Sent()) EXPECT_NE(line.front(), 'n') << line;
        EXPECT_TRUE(rig.device->imageArrivals.empty());
        EXPECT_EQ(rig.LogHas("Dateifehler: Abweichende Byteanzahl"), c.sizeError);
        EXPECT_EQ(rig.host.dialogs.size(), c.confirm ? 1u : 0u);
    }
}

// The adapter's status may say OK while its sum of what it took is not the
// file's: that is no success. No status answer at all leaves the RAM
// unchecked, maybe half new: a box says so, not a log line alone.
TEST(RamRestore, SumThatDiffersOrCannotBeReadIsAnError) {
    struct Case { const char* name; std::function<void(sim::QvdDevice&)> fault; std::string box; };
    const Case cases[] = {
        {"other sum", [](sim::QvdDevice& d) { d.faults.replaceOnce["r"] = "FF3-1234-00000000\r"; },
         "Checksummefehler\r\rDen RAM-Schreibvorgang wiederholen."},
        {"no answer", [](sim::QvdDevice& d) { d.faults.lengthDelta["r"] = -1; },
         "Keine Verbindung zum QVD-Modul\r\rRAM konnte nicht überprüft werden. Den RAM-Schreibvorgang wiederholen."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(Rig::Connected, 3);
        ScratchDir dir;
        rig.host.After(1, [&] { c.fault(*rig.device); });  // after the search's own polls
        Restore(rig, dir, std::string(8184, 'x'));
        EXPECT_EQ(rig.Boxes().back(), c.box);
        EXPECT_NE(rig.Log().back(), "OK");
    }
}

TEST(RamClear, ClearsThenShowsTheStatus) {
    Rig rig(Rig::Connected, 3);
    rig.host.yesNoAnswers.push_back(true);
    rig.Mark();
    rig.form().ramClearButton.OnClick();
    const Lines sent = rig.Sent();
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(Lines(sent.begin(), sent.begin() + 2), (Lines{"g0001", "r"}));
    EXPECT_EQ(rig.device->config.ram.find_first_not_of('\0'), std::string::npos);
    EXPECT_EQ(rig.Log().back(), "OK");
}

}  // namespace
}  // namespace qvd::test
