// A RAM save at the line rate while the adapter's stream falters: pauses
// that the transfer must ride out or end on, a byte spoilt on the wire, a
// memory checksum that is wrong the first time.
#include "sim/AdapterFacts.h"
#include "testkit/E2eRig.h"

#include <gtest/gtest.h>

namespace qvd::e2e {
namespace {

constexpr size_t kRamBytes = sim::ModuleOf(3).ramBytes;  // NSM module 25

struct Case {
    const char* name;
    std::vector<std::string> fault;
    size_t fileBytes;      // the RAM's first bytes the file keeps
    bool byte77Flipped;
    std::string logStart;  // a line that must be in the log
    std::string box;       // the one box, or none
    int memoryChecksums;   // "g0010" the adapter is asked for
};

// Three silent poll ticks end a stream: a pause over two of them is ridden
// out, one over three ends the read. (Pauses of exactly 2 s and 3 s sit on
// the edge of a tick; these keep clear of it, so that a late tick on a busy
// machine cannot turn the outcome.) A byte spoilt on the wire is a checksum
// error; a memory checksum wrong the first time is asked for again.
TEST(StreamFaults, PausesSpoiltByteAndWrongFirstMemoryChecksum) {
    const Case cases[] = {
        {"pause of 1.8 s", {"--stream-pause", "4000:1800"}, kRamBytes, false,
         "Übertragung erfolgreich beendet. " + std::to_string(kRamBytes) + "/" + std::to_string(kRamBytes) + ", ", "", 1},
        {"pause of 3.5 s", {"--stream-pause", "4000:3500"}, 4000, false,
         "Übertragung NICHT vollständig. Gesamtbyte Rx/Datei:4000/4000",
         "Übertragunsfehler\r\rDen RAM/EPROM-Auslesevorgang wiederholen.", 0},
        {"byte 77 spoilt on the wire", {"--stream-corrupt", "77"}, kRamBytes, true, "Checksumme stimmt NICHT. Rx-Checksumme:",
         "Checksummefehler\r\rDen RAM/EPROM-Auslesevorgang wiederholen.", 0},
        {"memory checksum wrong once", {"--wrong-ram-checksum", "once"}, kRamBytes, false, "moment...", "", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        E2eRig rig;
        auto& pc = rig.pc;
        std::string ram(kRamBytes, '\0');
        for (size_t i = 0; i < ram.size(); ++i) ram[i] = static_cast<char>(i * 13 + (i >> 8));
        std::vector<std::string> options = {"--type", "3", "--ram", rig.dir.Write("module.ram", ram)};
        options.insert(options.end(), c.fault.begin(), c.fault.end());
        ASSERT_TRUE(rig.Connect(options));
        pc.Mark();
        const size_t mark = rig.adapter.Received().size();
        ASSERT_TRUE(pc.Save(pc.form().ramSaveButton, (rig.dir / "ram.dat").string(), 60000));

        const Lines log = pc.Log();
        EXPECT_TRUE(HasPrefix(log, c.logStart)) << ::testing::PrintToString(log);
        EXPECT_EQ(pc.Boxes(), c.box.empty() ? Lines{} : Lines{c.box});
        EXPECT_EQ(log.back() == "OK", c.box.empty());  // verified exactly when nothing went wrong
        std::string expected = ram.substr(0, c.fileBytes);
        if (c.byte77Flipped) expected[77] = static_cast<char>(expected[77] ^ 0xFF);
        EXPECT_TRUE(ReadFile(rig.dir / "ram.dat") == expected);  // kept in every case

        const Lines took = From(rig.adapter.Received(), mark);
        EXPECT_EQ(Count(took, "a"), 1);
        EXPECT_EQ(Count(took, "g0010"), c.memoryChecksums);
        EXPECT_EQ(rig.adapter.Stderr(), "");
    }
}

}  // namespace
}  // namespace qvd::e2e
