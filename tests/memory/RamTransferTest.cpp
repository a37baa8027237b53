// Whole RAM and EPROM transfers against the virtual adapter: what reaches
// the file, what reaches the module, and what the user is told.
#include "testkit/Rig.h"
#include "testkit/ScratchDir.h"

#include <gtest/gtest.h>

#include <functional>

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

// The memory checksum is asked for only from version 1.10 on. Pauses and a
// checksum wrong the first time: e2e StreamFaults.
TEST(RamSave, FileHoldsTheModulesRamAndIsVerified) {
    for (auto [type, version, memoryChecksum] : {std::tuple<uint8_t, const char*, bool>{1, "1.10", true}, {5, "1.05", false}}) {
        SCOPED_TRACE(int(type));
        Rig rig(Rig::Connected, type);
        // The version is read back from the identification line; the search
        // itself takes no adapter below 1.20.
        rig.form().identificationLabel.SetCaption(std::string("QVD-BW/NSM V") + version + " SN:000815");
        ScratchDir dir;
        rig.Mark();
        SaveWith(rig, rig.form().ramSaveButton, dir / "ram.dat");
        const std::string& ram = rig.device->config.ram;
        EXPECT_TRUE(ReadFile(dir / "ram.dat") == ram);
        EXPECT_EQ(Has(rig.Sent(), "g0010"), memoryChecksum);
        EXPECT_EQ(rig.Log().back(), kVerified);
        EXPECT_TRUE(rig.host.messages.empty());
        EXPECT_FALSE(rig.form().progressBar.visible);
        EXPECT_EQ(rig.form().bytesPanel.caption, "Rx-Bytes: " + std::to_string(ram.size()));
    }
}

// What can go wrong between the adapter and the file, and what it says.
TEST(RamSave, FaultsAreReportedAndNeverCalledVerified) {
    using Kind = sim::StreamFault::Kind;
    struct Case {
        const char* name;
        std::function<void(sim::QvdDevice&)> fault;
        std::string logStart, box;
    };
    const Case cases[] = {
        {"no byte at all", [](sim::QvdDevice& d) { d.faults.stream = {Kind::Cut, 0}; },
         "Übertragung NICHT vollständig. Gesamtbyte Rx/Datei:0/0", "Übertragunsfehler\r\r" + kRepeatRead},
        // Cut short (e2e Vanish.DuringARamSave), a pause over three ticks and a
        // byte spoilt on the wire (e2e StreamFaults) go through the real program.
        {"memory checksum wrong twice, differing", [](sim::QvdDevice& d) { d.faults.wrongRamChecksums = 2; },
         "Unterschiedliche RAM/EPROM Checksumme: Checksumme1=",
         "Unterschiedliche RAM/ERPOM-Checksummefehler, evtl. Kontaktprobleme\r\rKontaktverbindung prüfen "
         "und den RAM/EPROM-Auslesevorgang wiederholen."},
        {"memory checksum wrong, stable", [](sim::QvdDevice& d) { d.faults.wrongRamChecksums = -1; },
         "Checksumme stimmt NICHT. RAM/EPROM-Checksumme:", "Checksummefehler\r\r" + kRepeatRead},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(Rig::Connected, 3);
        c.fault(*rig.device);
        ScratchDir dir;
        SaveWith(rig, rig.form().ramSaveButton, dir / "ram.dat");
        EXPECT_TRUE(rig.LogStartsWith(c.logStart));
        EXPECT_EQ(rig.Boxes(), Lines{c.box});
        EXPECT_NE(rig.Log().back(), kVerified);
        EXPECT_TRUE(std::filesystem::exists(dir / "ram.dat"));  // the file is kept
    }
}

// An EPROM read that fails its size check leaves the EPROM flag; the RAM
// read after it still asks for the RAM checksum.
TEST(RamSave, RamReadAfterAFailedEpromReadIsVerifiedWithTheRamChecksum) {
    Rig rig(Rig::Connected, 1);
    rig.device->faults.stream = {sim::StreamFault::Kind::Cut, 5000};
    ScratchDir dir;
    SaveWith(rig, rig.form().epromSaveButton, dir / "eprom.hex");
    ASSERT_TRUE(rig.LogStartsWith("Übertragung NICHT vollständig."));
    rig.Mark();
    SaveWith(rig, rig.form().ramSaveButton, dir / "ram.dat");
    EXPECT_TRUE(Has(rig.Sent(), "g0010"));
    EXPECT_FALSE(Has(rig.Sent(), "g0020"));
    EXPECT_EQ(rig.Log().back(), kVerified);
}

// A file that reads back more than was written (a device without end) is no
// image: told once, the port still drained, never called verified. Files
// that cannot be created or fill up are met by the file fault suite.
TEST(RamSave, FileThatDoesNotHoldTheStreamIsReportedOnce) {
    Rig rig(Rig::Connected, 3);
    SaveWith(rig, rig.form().ramSaveButton, "/dev/zero");
    EXPECT_EQ(rig.Boxes(), Lines{"Dateifehler (closefile)\r\r" + kRepeatRead});
    EXPECT_TRUE(rig.LogHas("Dateifehler (close): /dev/zero"));
    EXPECT_FALSE(rig.LogStartsWith("Übertragung erfolgreich"));
    EXPECT_EQ(rig.program->serialPort.InputCount(), 0);
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
    const size_t bw1 = sim::ModuleOf(1).ramBytes;
    const Case cases[] = {
        {"one byte short", 1, bw1 - 1, true, true},
        {"other type's size", 4, bw1, true, true},
        {"no prescribed size, not whole blocks", 8, 100, true, true},
        {"not confirmed", 1, bw1, false, false},
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
// file's: that is no success.
TEST(RamRestore, SumThatDiffersFromTheFileIsAnError) {
    Rig rig(Rig::Connected, 3);
    rig.device->faults.replaceOnce["r"] = sim::StatusAnswer("FF", 3, "1234");
    ScratchDir dir;
    Restore(rig, dir, std::string(sim::ModuleOf(3).ramBytes, 'x'));
    EXPECT_TRUE(rig.LogStartsWith("RAM/Datei=1234/"));
    EXPECT_TRUE(rig.LogStartsWith("Checksumme stimmt NICHT. RAM-Checksumme:1234 Datei-Checksumme:"));
    EXPECT_EQ(rig.Boxes().back(), "Checksummefehler\r\rDen RAM-Schreibvorgang wiederholen.");
}

TEST(RamClear, WaitsByModuleTypeThenShowsTheStatus) {
    for (auto [type, waitMs] : {std::pair<uint8_t, uint32_t>{3, 0}, {5, 40000}}) {
        SCOPED_TRACE(int(type));
        Rig rig(Rig::Connected, type);
        rig.host.yesNoAnswers.push_back(true);
        uint64_t askedAt = 0;
        rig.Mark();
        rig.host.onMessage = [&](const RecordedMessage&) { askedAt = rig.host.Time(); };
        rig.form().ramClearButton.OnClick();
        // The clear's answer (30 ms), its wait, the status answer (90 ms).
        EXPECT_NEAR(double(rig.host.Time() - askedAt), 30.0 + waitMs + 90.0, 25.0);
        const Lines sent = rig.Sent();
        ASSERT_GE(sent.size(), 2u);
        EXPECT_EQ(Lines(sent.begin(), sent.begin() + 2), (Lines{"g0001", "r"}));
        EXPECT_EQ(rig.device->config.ram.find_first_not_of('\0'), std::string::npos);
        EXPECT_EQ(rig.Log().back(), "OK");
    }
}

}  // namespace
}  // namespace qvd::test
