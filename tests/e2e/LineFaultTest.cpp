// Faults on the line while connected (qvd-sim's own): polls that never
// arrive, and poll answers that arrive spoilt. Poll 1 is the search's, so
// each fault hits the first polls of the connection.
#include "testkit/E2eRig.h"

#include <gtest/gtest.h>

namespace qvd::e2e {
namespace {

TEST(LineFaults, LostPollsUpToThreePassUnseenSixGiveUpSpoiltAnswersAreToldOnce) {
    struct Case { const char* name; std::vector<std::string> options; int lost; Lines log; };
    const Case cases[] = {
        {"3 polls lost", {"--type", "3", "--lose-polls", "2:3"}, 3, {}},
        {"6 polls lost", {"--type", "3", "--lose-polls", "2:6"}, 6, {kNoContact1, kNoContact2, kGivenUp}},
        // Answers a byte short or long: CommandExchange.AcceptsOnlyAnAnswerOfTheAskedLength.
        {"garbage before the answer", {"--type", "3", "--spoil-poll", "2:garbage"}, 0,
         {"Fehler (r): Abweichende Befehlsantwort (" + std::string("\0ÿ\x13", 4) + "FF3-0000-00000000", ")."}},  // FF shown as ÿ
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        E2eRig rig;
        auto& pc = rig.pc;
        ASSERT_TRUE(rig.Connect(c.options));
        pc.Mark();
        const bool givenUp = c.log.size() == 3;
        if (givenUp) {
            ASSERT_TRUE(pc.host.RunUntil([&] { return pc.Dropped(); }, 30000));
            EXPECT_EQ(Count(rig.adapter.Received(), "r"), 1);  // only the search's
        } else {
            // Two good answers after the fault, the last one read.
            ASSERT_TRUE(pc.host.RunUntil([&] { return Count(rig.adapter.Received(), "r") >= 3; }, 30000));
            pc.host.RunFor(300);
            EXPECT_TRUE(IsConnected(pc.program));
            EXPECT_EQ(pc.program.supervisor.noAnswerCount(), 0);
        }
        EXPECT_EQ(Count(rig.adapter.Received(), "r (verloren)"), c.lost);
        EXPECT_EQ(pc.Log(), c.log);
        EXPECT_EQ(pc.Boxes(), givenUp ? Lines{kNoConnectionBox} : Lines{});
        if (givenUp) {
            EXPECT_TRUE(pc.Search());  // the line is good again
        }
    }
}

}  // namespace
}  // namespace qvd::e2e
