// Every file the program writes, once onto a full disk and once into a
// folder the user may not write: the RAM and EPROM saves, the view file, the
// status report, the split halves and the joined image. Each failure is
// told, leaves no half-written output behind where the program can help it,
// and leaves the connection usable.
#include "core/memory/EpromSplit.h"
#include "e2e/E2eRig.h"

#include <gtest/gtest.h>

namespace qvd::e2e {
namespace {

const char* const kSaveFailedBox = "Dateifehler (open)\r\rDen RAM/EPROM-Auslesevorgang wiederholen.";
const char* const kNotCreatedBox = "Dateifehler (open)\r\rDatei konnte nicht erzeugt werden.";
const char* const kEpromFileBox = "Dateifehler (open)\r\rVorgang wiederholen.";

std::string NotSavedBox(const std::string& path, const std::string& reason) {
    return "Datei konnte nicht gespeichert werden:\r\r" + path + "\r\r" + reason;
}

// Connected to a BW module 2 served unpaced (its EPROM is the one that is
// split), with its RAM in the RAM view.
struct Rig {
    TempDir dir;
    fs::path scratch = dir / "scratch";  // writable, for inputs and good outputs
    fs::path closed = dir / "closed";    // readable, not writable
    Adapter adapter{dir / "ports" / "COM1"};
    std::optional<E2eProgram> pc;

    bool Connect() {
        const fs::perms readable = fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec;
        fs::permissions(dir.path, fs::perms::owner_all | readable);
        fs::create_directories(scratch);
        fs::create_directories(closed);
        const std::string image(kEpromWordImageSize, '\x5A');
        for (const fs::path& folder : {scratch, closed}) WriteAll(folder / "bw2.hex", image);
        WriteAll(scratch / "half_odd.hex", image.substr(0, kEpromHalfSize));
        WriteAll(scratch / "half_even.hex", image.substr(0, kEpromHalfSize));
        fs::permissions(closed, fs::perms::owner_read | fs::perms::owner_exec | readable);
        if (!adapter.Start({"--type", "4", "--fast"})) return false;
        pc.emplace(dir / "ports");
        if (!pc->Connect()) return false;
        pc->form().ramViewAllButton.OnClick();
        return pc->host.RunUntil([&] { return pc->conn().state == ConnState::Connected && !pc->form().ramView.lines.empty(); },
                                 20000);
    }

    // The user's steps for each file; true once the window is released.
    bool SaveRam(const std::string& target) { return pc->Save(pc->form().ramSaveButton, target); }
    bool SaveEprom(const std::string& target) { return pc->Save(pc->form().epromSaveButton, target); }
    bool SaveView(const std::string& target) { return pc->Save(pc->form().ramViewSaveButton, target); }
    bool SaveStatus(const std::string& target) { return pc->Save(pc->form().saveStatusButton, target); }
    bool Split(const fs::path& image) {
        pc->host.openAnswers.push_back(image.string());
        pc->form().splitEpromItem.OnClick();
        return pc->RunUntilReleased(10000);
    }
    bool Join(const std::string& target) {
        pc->host.openAnswers.push_back((scratch / "half_odd.hex").string());
        pc->host.openAnswers.push_back((scratch / "half_even.hex").string());
        pc->host.saveAnswers.push_back(target);
        pc->form().joinEpromItem.OnClick();
        return pc->RunUntilReleased(10000);
    }

    // After the failures: the connection is up and a good file is written.
    void ExpectStillWorking() {
        EXPECT_EQ(pc->conn().state, ConnState::Connected);
        const std::string good = (scratch / "status.txt").string();
        pc->Mark();
        ASSERT_TRUE(SaveStatus(good));
        EXPECT_EQ(pc->Log(), Lines{"Statusmeldungen & QVD-Infos gespeichert unter: " + good});
        EXPECT_GT(fs::file_size(good), 0u);
    }
};

struct Case {
    const char* name;
    std::function<bool(Rig&)> write;
    std::string box;      // the first box
    std::string logLine;  // a line the log must carry, or none
    std::string command;  // a stream the adapter must (full disk) or must not (no folder) be asked for
};

Lines TookSince(Rig& rig, size_t mark) { return From(rig.adapter.Received(), mark); }

void Check(Rig& rig, const Case& c, bool streamed) {
    SCOPED_TRACE(c.name);
    rig.pc->Mark();
    const size_t mark = rig.adapter.Received().size();
    ASSERT_TRUE(c.write(rig));
    const Lines boxes = rig.pc->Boxes();
    ASSERT_FALSE(boxes.empty()) << ::testing::PrintToString(rig.pc->Log());
    EXPECT_EQ(boxes.front(), c.box);
    if (!c.logLine.empty()) {
        EXPECT_GE(Count(rig.pc->Log(), c.logLine), 1) << ::testing::PrintToString(rig.pc->Log());
    }
    EXPECT_FALSE(HasPrefix(rig.pc->Log(), "Übertragung erfolgreich"));
    if (!c.command.empty()) {
        EXPECT_EQ(Count(TookSince(rig, mark), c.command), streamed ? 1 : 0);
    }
}

TEST(FileFaults, FullDiskIsToldForEveryFile) {
    Rig rig;
    ASSERT_TRUE(rig.Connect());
    // The halves and the joined image are written beside their targets
    // first; a full disk meets them there.
    const fs::path odd = OddHalfPath((rig.scratch / "bw2.hex").string()), joined = rig.scratch / "joined.hex";
    fs::create_symlink("/dev/full", odd.string() + ".part");
    fs::create_symlink("/dev/full", joined.string() + ".part");
    const std::string full = "/dev/full";
    const std::string noSpace = NotSavedBox(full, "No space left on device");
    const Case cases[] = {
        {"RAM save", [&](Rig& r) { return r.SaveRam(full); }, kSaveFailedBox, "Dateifehler (open): /dev/full", "a"},
        {"EPROM save", [&](Rig& r) { return r.SaveEprom(full); }, kSaveFailedBox, "Dateifehler (open): /dev/full", "h"},
        {"view file", [&](Rig& r) { return r.SaveView(full); }, noSpace, "", ""},
        {"status report", [&](Rig& r) { return r.SaveStatus(full); }, noSpace, "", ""},
        {"split halves", [&](Rig& r) { return r.Split(r.scratch / "bw2.hex"); }, kEpromFileBox,
         "Dateifehler (open): " + odd.string(), ""},
        {"joined image", [&](Rig& r) { return r.Join(joined.string()); }, kEpromFileBox,
         "Dateifehler (open): " + joined.string(), ""},
    };
    for (const Case& c : cases) Check(rig, c, true);
    EXPECT_EQ(rig.pc->program.serialPort.InputCount(), 0);  // the streams were drained all the same
    EXPECT_FALSE(fs::exists(odd));
    EXPECT_FALSE(fs::exists(EvenHalfPath((rig.scratch / "bw2.hex").string())));
    EXPECT_FALSE(fs::exists(joined));
    rig.ExpectStillWorking();
}

TEST(FileFaults, UnwritableFolderIsToldForEveryFileAndNothingIsStreamed) {
    Rig rig;
    ASSERT_TRUE(rig.Connect());
    const auto in = [&](const char* name) { return (rig.closed / name).string(); };
    const std::string denied = "Permission denied";
    const Case cases[] = {
        {"RAM save", [&](Rig& r) { return r.SaveRam(in("ram.dat")); }, kNotCreatedBox,
         "Dateifehler (open): " + in("ram.dat"), "a"},
        {"EPROM save", [&](Rig& r) { return r.SaveEprom(in("eprom.hex")); }, kNotCreatedBox,
         "Dateifehler (open): " + in("eprom.hex"), "h"},
        {"view file", [&](Rig& r) { return r.SaveView(in("view.txt")); }, NotSavedBox(in("view.txt"), denied), "", ""},
        {"status report", [&](Rig& r) { return r.SaveStatus(in("status.txt")); }, NotSavedBox(in("status.txt"), denied),
         "", ""},
        {"split halves", [&](Rig& r) { return r.Split(r.closed / "bw2.hex"); }, kEpromFileBox,
         "Dateifehler (open): " + OddHalfPath(in("bw2.hex")), ""},
        {"joined image", [&](Rig& r) { return r.Join(in("joined.hex")); }, kEpromFileBox,
         "Dateifehler (open): " + in("joined.hex"), ""},
    };
    for (const Case& c : cases) {
        AsUnprivilegedUser user;
        Check(rig, c, false);
    }
    Lines left;
    for (const auto& entry : fs::directory_iterator(rig.closed)) left.push_back(entry.path().filename());
    EXPECT_EQ(left, Lines{"bw2.hex"});
    rig.ExpectStillWorking();
}

}  // namespace
}  // namespace qvd::e2e
