// Every file the program writes, once onto a full disk and once into a
// folder the user may not write: the RAM and EPROM saves, the view file, the
// status report, the split halves and the joined image. Each failure is
// told, leaves no half-written output behind where the program can help it,
// and leaves the connection usable.
#include "core/memory/EpromSplit.h"
#include "testkit/E2eRig.h"

#include <gtest/gtest.h>

namespace qvd::e2e {
namespace {

// A full disk that needs no mount (which a CI container may not allow):
// with a file size limit of zero every write fails, with EFBIG, once its
// file exists, as it would with no space left. The limit binds this whole
// process, so it holds only while the program writes; SIGXFSZ, which would
// end the process, is ignored meanwhile.
struct DiskFull {
    rlimit before{};
    void (*handlerBefore)(int) = ::signal(SIGXFSZ, SIG_IGN);
    DiskFull() {
        ::getrlimit(RLIMIT_FSIZE, &before);
        const rlimit none{0, before.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &none);
    }
    ~DiskFull() {
        ::setrlimit(RLIMIT_FSIZE, &before);
        ::signal(SIGXFSZ, handlerBefore);
    }
};

// Connected to a BW module 2 served unpaced (its EPROM is the one that is
// split), with its RAM in the RAM view.
TEST(FileFaults, FullDiskAndUnwritableFolderAreToldForEveryFile) {
    E2eRig rig;
    auto& pc = rig.pc;
    const fs::path scratch = rig.dir / "scratch", closed = rig.dir / "closed";  // closed: readable, not writable
    const fs::perms readable = fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec;
    fs::permissions(rig.dir.path(), fs::perms::owner_all | readable);
    for (const fs::path& folder : {scratch, closed}) {
        fs::create_directories(folder);
        WriteFile(folder / "bw2.hex", std::string(kEpromWordImageSize, '\x5A'));
    }
    WriteFile(scratch / "half.hex", std::string(kEpromHalfSize, '\x5A'));
    fs::permissions(closed, fs::perms::owner_read | fs::perms::owner_exec | readable);
    ASSERT_TRUE(rig.Connect({"--type", "4", "--fast"}));
    pc.form().ramViewAllButton.OnClick();
    ASSERT_TRUE(pc.host.RunUntil([&] { return IsConnected(pc.program) && !pc.form().ramView.lines.empty(); }, 20000));

    const std::string odd = OddHalfPath((scratch / "bw2.hex").string());
    const auto split = [&](const fs::path& image) {
        pc.host.openAnswers.push_back(image.string());
        pc.form().splitEpromItem.OnClick();
        return pc.RunUntilReleased(10000);
    };
    const auto join = [&](const fs::path& target) {
        pc.host.openAnswers.insert(pc.host.openAnswers.end(), 2, (scratch / "half.hex").string());  // both halves
        return pc.Save(pc.form().joinEpromItem, target.string());
    };
    MainForm& f = pc.form();
    const auto in = [&](const char* name) { return (closed / name).string(); };
    const auto full = [&](const char* name) { return (scratch / name).string(); };
    const auto notSaved = [](const std::string& path, const char* reason) {
        return "Datei konnte nicht gespeichert werden:\r\r" + path + "\r\r" + reason;
    };
    const std::string openError = "Dateifehler (open): ";
    const std::string saveFailed = "Dateifehler (open)\r\rDen RAM/EPROM-Auslesevorgang wiederholen.";
    const std::string notCreated = "Dateifehler (open)\r\rDatei konnte nicht erzeugt werden.";
    const std::string eprom = "Dateifehler (open)\r\rVorgang wiederholen.";
    // A full disk is met after the stream; an unwritable folder before it,
    // so that the adapter is never asked for it.
    struct Case { bool full; const char* name; std::function<bool()> write; std::string box, logLine; const char* stream; };
    const Case cases[] = {
        {true, "RAM save", [&] { return pc.Save(f.ramSaveButton, full("ram.dat")); }, saveFailed, openError + full("ram.dat"), "a"},
        {true, "EPROM save", [&] { return pc.Save(f.epromSaveButton, full("eprom.hex")); }, saveFailed, openError + full("eprom.hex"), "h"},
        {true, "view file", [&] { return pc.Save(f.ramViewSaveButton, full("view.txt")); }, notSaved(full("view.txt"), "File too large"), "", ""},
        {true, "status report", [&] { return pc.Save(f.saveStatusButton, full("status.txt")); }, notSaved(full("status.txt"), "File too large"), "", ""},
        {true, "split halves", [&] { return split(scratch / "bw2.hex"); }, eprom, openError + odd, ""},
        {true, "joined image", [&] { return join(scratch / "joined.hex"); }, eprom, openError + (scratch / "joined.hex").string(), ""},
        {false, "RAM save", [&] { return pc.Save(f.ramSaveButton, in("ram.dat")); }, notCreated, openError + in("ram.dat"), "a"},
        {false, "EPROM save", [&] { return pc.Save(f.epromSaveButton, in("eprom.hex")); }, notCreated, openError + in("eprom.hex"), "h"},
        {false, "view file", [&] { return pc.Save(f.ramViewSaveButton, in("view.txt")); }, notSaved(in("view.txt"), "Permission denied"), "", ""},
        {false, "status report", [&] { return pc.Save(f.saveStatusButton, in("status.txt")); }, notSaved(in("status.txt"), "Permission denied"), "", ""},
        {false, "split halves", [&] { return split(closed / "bw2.hex"); }, eprom, openError + OddHalfPath(in("bw2.hex")), ""},
        {false, "joined image", [&] { return join(closed / "joined.hex"); }, eprom, openError + in("joined.hex"), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.full ? " onto a full disk" : " into an unwritable folder"));
        pc.Mark();
        const size_t mark = rig.adapter.Received().size();
        {
            std::optional<AsUnprivilegedUser> user;
            std::optional<DiskFull> diskFull;
            if (c.full) diskFull.emplace();
            else user.emplace();
            ASSERT_TRUE(c.write());
        }
        const Lines log = pc.Log(), boxes = pc.Boxes();
        ASSERT_FALSE(boxes.empty()) << ::testing::PrintToString(log);
        EXPECT_EQ(boxes.front(), c.box);
        EXPECT_TRUE(c.logLine.empty() || Count(log, c.logLine) >= 1) << ::testing::PrintToString(log);
        EXPECT_FALSE(HasPrefix(log, "Übertragung erfolgreich"));
        if (*c.stream) {
            EXPECT_EQ(Count(From(rig.adapter.Received(), mark), c.stream), c.full ? 1 : 0);
        }
    }
    EXPECT_EQ(pc.program.serialPort.InputCount(), 0);  // the streams were drained all the same
    for (const auto& entry : fs::directory_iterator(scratch)) {  // no half, image or temporary of them
        const std::string name = entry.path().filename();
        EXPECT_FALSE(name.starts_with("bw2_") || name.starts_with("joined")) << name;
    }
    Lines inClosed;
    for (const auto& entry : fs::directory_iterator(closed)) inClosed.push_back(entry.path().filename());
    EXPECT_EQ(inClosed, Lines{"bw2.hex"});

    // The connection is still up, and a good file is written.
    EXPECT_TRUE(IsConnected(pc.program));
    pc.Mark();
    ASSERT_TRUE(pc.Save(pc.form().saveStatusButton, (scratch / "status.txt").string()));
    EXPECT_EQ(pc.Log(), Lines{"Statusmeldungen & QVD-Infos gespeichert unter: " + (scratch / "status.txt").string()});
    EXPECT_GT(fs::file_size(scratch / "status.txt"), 0u);
}

}  // namespace
}  // namespace qvd::e2e
