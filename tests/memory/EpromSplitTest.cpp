#include "core/memory/EpromSplit.h"

#include "testkit/ScratchDir.h"

#include <gtest/gtest.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qvd {
namespace {

using test::ReadFile;
using test::ScratchDir;

namespace fs = std::filesystem;

TEST(EpromSplit, HalfNames) {
    struct Case { std::string image, odd, even; };
    const Case cases[] = {
        {"/data/x/bw.hex", "/data/x/bw_odd.hex", "/data/x/bw_even.hex"},
        {"abc.h", "a_oddbc.h", "a_evenbc.h"},
        {"/da.ta/abcd", "/da.ta/_oddabcd", "/da.ta/_evenabcd"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OddHalfPath(c.image), c.odd);
        EXPECT_EQ(EvenHalfPath(c.image), c.even);
    }
}

// Which half takes which bytes: the session test and the real window run.
TEST(EpromSplit, WrongSizesAreNamedAndCreateNothing) {
    struct Case { size_t image, odd, even; std::string failing; };
    const Case cases[] = {
        {kEpromWordImageSize + 1, 0, 0, "in"},
        {0, kEpromHalfSize, kEpromHalfSize - 2, "even"},
        {0, kEpromHalfSize + 1, kEpromHalfSize, "odd"},
    };
    for (const Case& c : cases) {
        ScratchDir dir;
        const EpromFileResult result =
            c.image ? SplitEpromImage(dir.Write("in", std::string(c.image, 'x')), dir / "odd", dir / "even")
                    : JoinEpromImage(dir.Write("odd", std::string(c.odd, 'x')), dir.Write("even", std::string(c.even, 'x')),
                                     dir / "out");
        EXPECT_EQ(result.status, EpromFileStatus::WrongSize);
        EXPECT_EQ(result.path, dir / c.failing);
        EXPECT_EQ(dir.EntryCount(), c.image ? 1u : 2u);
    }
}

// The user's own files under names a temporary might take, one a link to
// another of their files: a split that went through and one that failed
// after the first half was begun (the second target is a folder).
TEST(EpromSplit, LeavesTheUsersFilesOfTemporaryNamesAlone) {
    for (const bool evenIsFolder : {false, true}) {
        ScratchDir dir;
        const std::string image = dir.Write("bw.hex", std::string(kEpromWordImageSize, 'w'));
        dir.Write("bw_odd.hex.part", "part");
        fs::create_symlink(dir.Write("mine", "mine"), dir / "bw_even.hex.part");
        if (evenIsFolder) fs::create_directory(dir / "bw_even.hex");
        const EpromFileResult result = SplitEpromImage(image, dir / "bw_odd.hex", dir / "bw_even.hex");
        EXPECT_EQ(result.status, evenIsFolder ? EpromFileStatus::CannotCreateOutput : EpromFileStatus::Ok);
        EXPECT_TRUE(ReadFile(dir / "bw_odd.hex.part") == "part");  // not a half of the image
        EXPECT_TRUE(ReadFile(dir / "mine") == "mine");
        EXPECT_TRUE(fs::is_symlink(dir / "bw_even.hex.part"));
        EXPECT_EQ(dir.EntryCount(), evenIsFolder ? 5u : 6u);  // no temporary left over
    }
}

// An input that exists but cannot be read is refused before anything is
// opened or created; opening a FIFO would wait for a writer.
TEST(EpromSplit, TakesOnlyReadableRegularFilesOfTheSize) {
    ScratchDir dir;
    fs::permissions(dir.path(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    const std::string half(kEpromHalfSize, 'x');
    fs::create_symlink(dir.Write("good", half), dir / "link");
    fs::permissions(dir.Write("closed", half), fs::perms::none);
    ::mkfifo((dir / "fifo").c_str(), 0666);
    fs::create_directory(dir / "folder");
    const bool root = ::geteuid() == 0;  // root reads every file: look as nobody
    if (root) {
        ::setfsgid(65534);
        ::setfsuid(65534);
    }
    const std::pair<const char*, bool> cases[] = {
        {"good", true}, {"link", true}, {"closed", false}, {"fifo", false}, {"folder", false}, {"missing", false}};
    for (const auto& [name, taken] : cases) EXPECT_EQ(ReadableWithSize(dir / name, kEpromHalfSize), taken) << name;
    if (root) {
        ::setfsuid(0);
        ::setfsgid(0);
    }
}

}  // namespace
}  // namespace qvd
