// Faults on the line while connected, through a cable between the program
// and qvd-sim: polls that never arrive, and poll answers that arrive spoilt.
#include "e2e/E2eRig.h"

#include <gtest/gtest.h>

namespace qvd::e2e {
namespace {

struct Rig {
    TempDir dir;
    Adapter adapter{dir / "adapter" / "COM1"};
    std::optional<Cable> cable;
    std::optional<E2eProgram> pc;

    bool Connect() {
        if (!adapter.Start({"--type", "3"})) return false;
        cable.emplace(dir / "ports" / "COM1", adapter.link());
        pc.emplace(dir / "ports");
        return pc->Connect();
    }
    int PollsTaken(size_t mark) const { return Count(From(adapter.Received(), mark), "r"); }
    // Runs until the adapter has taken `n` polls after `mark` and the
    // program has had time to read the last answer.
    bool RunUntilPolled(size_t mark, int n) {
        const bool polled = pc->host.RunUntil([&] { return PollsTaken(mark) >= n; }, 20000);
        pc->host.RunFor(300);
        return polled;
    }
};

TEST(Silence, OneOrThreeLostPollsPassUnseenSixGiveTheAdapterUp) {
    Rig rig;
    ASSERT_TRUE(rig.Connect());
    E2eProgram& pc = *rig.pc;
    for (int lost : {1, 3}) {
        SCOPED_TRACE(lost);
        pc.Mark();
        const size_t mark = rig.adapter.Received().size();
        rig.cable->LosePolls(lost);
        ASSERT_TRUE(pc.host.RunUntil([&] { return rig.cable->PollsStillToLose() == 0; }, 20000));
        EXPECT_EQ(rig.PollsTaken(mark), 0);
        ASSERT_TRUE(rig.RunUntilPolled(mark, 1));
        EXPECT_EQ(pc.conn().state, ConnState::Connected);
        EXPECT_EQ(pc.conn().noAnswerCount, 0);
        EXPECT_TRUE(pc.Log().empty());
        EXPECT_TRUE(pc.Boxes().empty());
        EXPECT_TRUE(pc.form().ramSaveButton.enabled);
    }

    pc.Mark();
    const size_t mark = rig.adapter.Received().size();
    rig.cable->LosePolls(6);
    ASSERT_TRUE(pc.host.RunUntil([&] { return pc.Dropped(); }, 20000));
    EXPECT_EQ(rig.PollsTaken(mark), 0);
    EXPECT_EQ(pc.Log(), (Lines{kNoContact1, kNoContact2, kGivenUp}));
    EXPECT_EQ(pc.Boxes(), Lines{kNoConnectionBox});
    EXPECT_TRUE(pc.Search());  // the line is good again
}

// Each spoilt answer is named in the log once, counts as no answer, and the
// next poll finds the adapter as before.
TEST(SpoiltAnswers, AreToldAndTheConnectionStays) {
    struct Case { const char* name; std::string prefix; int delta; };
    const Case cases[] = {
        {"one byte short", "", -1},
        {"one byte long", "", +1},
        {"garbage before it", std::string("\0\xFF\x13", 3), 0},
    };
    Rig rig;
    ASSERT_TRUE(rig.Connect());
    E2eProgram& pc = *rig.pc;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pc.Mark();
        const size_t mark = rig.adapter.Received().size();
        rig.cable->SpoilNextPollAnswer(c.prefix, c.delta);
        ASSERT_TRUE(rig.RunUntilPolled(mark, 2));  // the spoilt one and a good one
        EXPECT_FALSE(rig.cable->SpoilPending());
        const Lines log = pc.Log();
        EXPECT_EQ(std::count_if(log.begin(), log.end(),
                                [](const std::string& l) { return l.starts_with("Fehler (r): Abweichende Befehlsantwort ("); }),
                  1)
            << ::testing::PrintToString(log);
        EXPECT_EQ(pc.conn().state, ConnState::Connected);
        EXPECT_EQ(pc.conn().noAnswerCount, 0);
        EXPECT_TRUE(pc.Boxes().empty());
    }
}

}  // namespace
}  // namespace qvd::e2e
