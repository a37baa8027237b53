// The qvd-sim program end to end: started as a process, reached through its
// link with the real serial component. Real time; generous bounds.
#include "serial/PtyRig.h"
#include "sim/SimProcess.h"

#ifdef QVD_SIM_PATH

#include <gtest/gtest.h>

namespace qvd::test {
namespace {

// The PC side: the component on the simulator's link.
struct Pc {
    RealTimeHost host;
    std::string device;
    TVaComm comm{host, TermiosTransports(host), [this](int) { return device; }};
    explicit Pc(const fs::path& path) : device(path.string()) { comm.Open(); }

    // Sends and collects the answer of `length` bytes, for at most 3 s.
    std::string Ask(const std::string& command, size_t length, double* ms = nullptr) {
        const auto start = Clock::now();
        comm.WriteText(command);
        std::string answer;
        host.RunUntil([&] { return (answer += comm.ReadText()).size() >= length; }, 3000);
        if (ms) *ms = MsSince(start);
        return answer;
    }
};

TEST(QvdSim, AnswersAsConfiguredAtTheLineRateAcrossReopens) {
    SimProcess sim;
    fs::create_directories(sim.link.parent_path());
    fs::create_symlink("/dev/pts/no-such-terminal", sim.link);  // left by a killed run
    ASSERT_TRUE(sim.Start({"--type", "3", "--version", "1.10", "--serial", "4711", "--status", "0c"}));
    EXPECT_NE(sim.Stdout().find(sim.link.string()), std::string::npos) << sim.Stdout();
    Pc pc(sim.link);
    for (int round = 0; round < 2; ++round) {
        if (round) pc.comm.Open();
        EXPECT_EQ(pc.Ask("\xF6", 1), "\xF6") << round;
        EXPECT_EQ(pc.Ask("r\r", 18), "0C3-0000-00000000\r") << round;
        pc.comm.Close();
    }
    pc.comm.Open();
    const std::string id = pc.Ask("i\r", 46);
    EXPECT_EQ(id.substr(0, 4), "QVD-");
    EXPECT_EQ(id.substr(12, 4), "1.10");
    EXPECT_EQ(id.substr(id.size() - 4), "4711");
    // 80 bytes at 5760 bytes/s take 13.9 ms; unpaced they would be there at once.
    double ms = 0;
    EXPECT_EQ(pc.Ask("x\r", 80, &ms).size(), 80u);
    EXPECT_GE(ms, 13.0);
    EXPECT_LT(ms, 2000);
    EXPECT_EQ(sim.Stop(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(sim.link)));
    EXPECT_EQ(sim.Stderr(), "");
}

TEST(QvdSim, SaysSoLoudlyOnUnknownCommandsAndFallsSilentAfterNPolls) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--fast", "--silent-after", "1"}));
    Pc pc(sim.link);
    pc.comm.WriteText(std::string("Q\x01\r"));
    EXPECT_TRUE(Eventually([&] { return sim.Stderr().find("unbekannter Befehl: Q<01>\n") != std::string::npos; }))
        << sim.Stderr();
    EXPECT_EQ(pc.Ask("r\r", 18).size(), 18u);
    pc.comm.WriteText("r\r");
    pc.host.RunFor(300);
    EXPECT_EQ(pc.comm.ReadText(), "");
}

TEST(QvdSim, LeavesAFileInPlaceOfItsLinkAlone) {
    SimProcess sim;
    fs::create_directories(sim.link.parent_path());
    std::ofstream(sim.link) << "not a link";
    sim.Start({"--fast"});
    EXPECT_EQ(sim.Stop(false), 1);
    EXPECT_EQ(Slurp(sim.link), "not a link");
    EXPECT_NE(sim.Stderr().find("kein symbolischer Link"), std::string::npos) << sim.Stderr();
}

}  // namespace
}  // namespace qvd::test

#endif  // QVD_SIM_PATH
