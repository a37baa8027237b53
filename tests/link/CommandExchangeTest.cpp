#include "core/link/CommandExchange.h"
#include "testkit/Rig.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace qvd::test {
namespace {

TEST(CommandExchange, AcceptsOnlyAnAnswerOfTheAskedLength) {
    const std::string full = sim::StatusAnswer("FF", 1, uint16_t{0}), text = full.substr(0, full.size() - 1);
    const std::string error = "Fehler (r): Abweichende Befehlsantwort (";
    struct Case { std::string answer; Lines log; };
    const Case cases[] = {
        {full, {}},
        // The carriage return inside the answer splits the log line, as the log does with any CR.
        {text.substr(0, text.size() - 1) + "\r", {error + text.substr(0, text.size() - 1), ")."}},
        {full + "x", {error + text, "x)."}},
        {"", {}},  // silence fails quietly
    };
    for (const Case& c : cases) {
        Rig rig(Rig::Opened);
        rig.device->faults.replaceOnce["r"] = c.answer;
        rig.Mark();
        const bool ok = c.answer.size() == sim::kStatusAnswerBytes;
        EXPECT_EQ(rig.program->link.ExchangeCommand("r", sim::kStatusAnswerBytes), ok) << c.answer;
        EXPECT_EQ(rig.program->link.LastAnswer(), ok ? full : "---");
        EXPECT_EQ(rig.Log(), c.log);
        EXPECT_TRUE(rig.form().logMemo.color == (c.log.empty() ? colors::Green : colors::Red) &&
                    rig.form().activityIndicator.color == colors::Navy);
    }
}

TEST(CommandExchange, BytesWaitingBeforeTheCommandAreDropped) {
    Rig rig(Rig::Opened);
    rig.device->send("junk");  // unasked, waits in the driver
    rig.host.RunFor(50);
    EXPECT_TRUE(rig.program->link.ExchangeCommand("r", sim::kStatusAnswerBytes));
    EXPECT_EQ(rig.program->link.LastAnswer().substr(0, 3), "FF1");
}

TEST(CommandExchange, WaitsTheAnswerTimeOfCommandAndModule) {
    struct Case { std::string command; uint16_t length; uint8_t type; uint32_t waitMs; };
    const Case cases[] = {
        {"r", 18, 1, 90}, {"x", 80, 1, 400}, {"g0010", 10, 4, 9000}, {"g0010", 10, 5, 20000},
        {"g0010", 10, 1, 4500}, {"g0020", 10, 2, 36000}, {"g0020", 10, 8, 0},
    };
    for (const Case& c : cases) {
        Rig rig(Rig::Opened, c.type);
        const uint64_t start = rig.host.Time();
        rig.program->link.ExchangeCommand(c.command, c.length);
        // More than the wait, plus the exchange's own few ticks.
        EXPECT_NEAR(double(rig.host.Time() - start), c.waitMs + 3, 2) << c.command << " " << int(c.type);
    }
}

// A port that takes nothing: the exchange fails at once instead of waiting
// for an answer to a command that never went out.
TEST(CommandExchange, WriteThatDoesNotGoOutFailsAtOnce) {
    struct StuckPort : SerialTransport {
        void Open(const std::string&, std::function<void()>) override {}
        void Close() override {}
        bool Write(const std::string&, int) override { return false; }
        int InputCount() override { return 0; }
        std::string Read(int) override { return {}; }
    };
    VirtualHost host;
    Program program(host, [](auto&) { return std::make_unique<StuckPort>(); }, [](int) { return std::string("COM1"); });
    program.serialPort.Open();
    const uint64_t start = host.Time();
    EXPECT_FALSE(program.link.ExchangeCommand("g0020", 10));
    EXPECT_EQ(host.Time(), start);
    EXPECT_FALSE(program.link.Busy());
}

// Every byte either way lands in the trace, one line per write or read.
TEST(CommandExchange, WireTraceRecordsBothDirections) {
    const std::string path = ::testing::TempDir() + "qvd_trace.txt";
    std::remove(path.c_str());
    ::setenv("QVD_PC_TRACE", path.c_str(), 1);
    { Rig rig(Rig::Connected); }
    ::unsetenv("QVD_PC_TRACE");
    std::stringstream all;
    all << std::ifstream(path).rdbuf();
    // The probe goes out, a status poll's answer comes in.
    for (const char* line : {"-- open COM1", " TX     1 | F6 | .\n", " RX    18 | 46 46 31 2D 30 30 30 30"})
        EXPECT_NE(all.str().find(line), std::string::npos) << line << "\n" << all.str();
}

// Pulled during the 42 s EPROM checksum wait of a BW module 2: no answer can
// come, so the wait ends with the port, and the failure is told once.
TEST(CommandExchange, UnplugEndsTheWaitAtOnce) {
    Rig rig(Rig::Opened, 4);
    rig.host.After(1000, [&] { rig.ports.Unplug("COM1"); });
    rig.Mark();
    const uint64_t start = rig.host.Time();
    EXPECT_FALSE(rig.program->link.ExchangeCommand("g0020", 10));
    EXPECT_LT(rig.host.Time() - start, 2000u);
    ASSERT_EQ(rig.Log().size(), 1u);
    EXPECT_TRUE(rig.Log()[0].starts_with("Error retrieving statistics")) << rig.Log()[0];
    EXPECT_EQ(rig.program->link.LastAnswer(), "---");
    EXPECT_EQ(rig.form().logMemo.color, colors::Red);
    // Afterwards the port behaves as closed: silent failure, no new error line.
    EXPECT_FALSE(rig.program->link.ExchangeCommand("g0020", 10));
    EXPECT_EQ(rig.Log().size(), 1u);
}

}  // namespace
}  // namespace qvd::test
