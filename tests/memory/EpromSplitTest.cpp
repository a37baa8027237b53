#include "core/memory/EpromSplit.h"

#include "testkit/ScratchDir.h"

#include <gtest/gtest.h>

namespace qvd {
namespace {

using test::ScratchDir;

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

}  // namespace
}  // namespace qvd
