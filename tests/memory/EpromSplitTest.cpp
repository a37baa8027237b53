#include "core/memory/EpromSplit.h"

#include "ScratchDir.h"

#include <gtest/gtest.h>

namespace qvd {
namespace {

using testing::ScratchDir;

std::string Counting(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 31 + i / 256);
    return bytes;
}

TEST(EpromSplit, HalfNames) {
    struct Case { std::string image, odd, even; };
    const Case cases[] = {
        {"/data/x/bw.hex", "/data/x/bw_odd.hex", "/data/x/bw_even.hex"},
        {"abc.h", "a_oddbc.h", "a_evenbc.h"},
        {"/d/ab", "/d/_oddab", "/d/_evenab"},
        {"/da.ta/abcd", "/da.ta/_oddabcd", "/da.ta/_evenabcd"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OddHalfPath(c.image), c.odd);
        EXPECT_EQ(EvenHalfPath(c.image), c.even);
    }
}

// The join is checked against the split in the session test; here which
// half takes which bytes, and that no temporary is left over.
TEST(EpromSplit, EvenOffsetsGoToTheOddHalf) {
    ScratchDir dir;
    const std::string path = dir.Write("bw.bin", Counting(kEpromWordImageSize));
    ASSERT_TRUE(SplitEpromImage(path, OddHalfPath(path), EvenHalfPath(path)).ok());
    const std::string odd = ScratchDir::Read(OddHalfPath(path)), even = ScratchDir::Read(EvenHalfPath(path));
    ASSERT_EQ(odd.size(), kEpromHalfSize);
    ASSERT_EQ(even.size(), kEpromHalfSize);
    EXPECT_EQ(odd.substr(0, 3), std::string("\x00\x3E\x7C", 3));
    EXPECT_EQ(even.substr(0, 3), std::string("\x1F\x5D\x9B", 3));
    EXPECT_EQ(dir.EntryCount(), 3u);
}

TEST(EpromSplit, WrongSizesCreateNothing) {
    struct Case { size_t image, odd, even; std::string failing; };
    const Case cases[] = {
        {kEpromWordImageSize - 1, 0, 0, "in"},
        {kEpromWordImageSize + 1, 0, 0, "in"},
        {0, kEpromHalfSize, kEpromHalfSize - 2, "even"},
        {0, kEpromHalfSize + 1, kEpromHalfSize, "odd"},
    };
    for (const Case& c : cases) {
        ScratchDir dir;
        EpromFileResult result;
        if (c.image) {
            const std::string in = dir.Write("in", Counting(c.image));
            result = SplitEpromImage(in, dir / "odd", dir / "even");
        } else {
            result = JoinEpromImage(dir.Write("odd", Counting(c.odd)),
                                    dir.Write("even", Counting(c.even)), dir / "out");
        }
        EXPECT_EQ(result.status, EpromFileStatus::WrongSize);
        EXPECT_EQ(result.path, dir / c.failing);
        EXPECT_EQ(dir.EntryCount(), c.image ? 1u : 2u);
    }
}

// Halves that cannot be created at all are met by the file fault suite.
TEST(EpromSplit, UncreatableOutputLeavesNothingAndIsNamed) {
    ScratchDir dir;
    const std::string in = dir.Write("in", Counting(kEpromWordImageSize));
    // Renaming onto a directory fails only at the very end.
    std::filesystem::create_directory(dir / "taken");
    const EpromFileResult late = SplitEpromImage(in, dir / "odd", dir / "taken");
    EXPECT_EQ(late.status, EpromFileStatus::CannotCreateOutput);
    EXPECT_EQ(late.path, dir / "taken");
    EXPECT_EQ(dir.EntryCount(), 2u);  // "in" and the empty folder

    const EpromFileResult missing = JoinEpromImage(dir / "nope", dir / "nope2", dir / "out");
    EXPECT_EQ(missing.status, EpromFileStatus::CannotOpenInput);
    EXPECT_EQ(missing.path, dir / "nope");
}

}  // namespace
}  // namespace qvd
