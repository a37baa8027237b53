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
    const std::string full = "FF1-0000-00000000\r";
    const std::string error = "Fehler (r): Abweichende Befehlsantwort (";
    struct Case { std::string answer; Lines log; std::string waiting = {}; };
    const Case cases[] = {
        {full, {}},
        // The carriage return inside the answer splits the log line, as the log does with any CR.
        {"FF1-0000-0000000\r", {error + "FF1-0000-0000000", ")."}},
        {full + "x", {error + "FF1-0000-00000000", "x)."}},
        {"", {}},  // silence fails quietly
        {full, {}, "junk"},  // unasked bytes waiting before the command are dropped
    };
    for (const Case& c : cases) {
        Rig rig(Rig::Opened);
        rig.device->faults.replaceOnce["r"] = c.answer;
        if (!c.waiting.empty()) { rig.device->send(c.waiting); rig.host.RunFor(50); }
        rig.Mark();
        const bool ok = c.answer.size() == 18;
        EXPECT_EQ(rig.program->exchange.ExchangeCommand("r", 18), ok) << c.answer;
        EXPECT_EQ(rig.program->exchange.LastAnswer(), ok ? full : "---");
        EXPECT_EQ(rig.Log(), c.log);
        EXPECT_TRUE(rig.form().logMemo.color == (c.log.empty() ? colors::Green : colors::Red) &&
                    rig.form().activityIndicator.color == colors::Navy);
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
    EXPECT_FALSE(program.exchange.ExchangeCommand("g0020", 10));
    EXPECT_EQ(host.Time(), start);
    EXPECT_FALSE(program.exchange.Busy());
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

// A failure met outside an exchange (the runner asking whether input waits,
// a stream read, a block write) is told once too, though the port is closed
// by then and no later read would tell it.
TEST(CommandExchange, FailureOutsideAnExchangeIsToldOnce) {
    using Call = std::function<bool(CommandExchange&)>;
    const std::pair<const char*, Call> calls[] = {
        {"input waiting", [](CommandExchange& e) { return e.InputWaiting(); }},
        {"stream read", [](CommandExchange& e) { return !e.TakeInput().empty(); }},
        {"block write", [](CommandExchange& e) { return e.WriteBlock(std::string(64, 'x')); }},
    };
    for (const auto& [name, call] : calls) {
        SCOPED_TRACE(name);
        Rig rig(Rig::Opened, 3);
        rig.Mark();
        rig.ports.Unplug("COM1");
        EXPECT_FALSE(call(rig.program->exchange));
        rig.host.RunFor(100);  // the unplug's own notification comes too late to tell it again
        EXPECT_EQ(rig.Log().size(), 1u);
        EXPECT_FALSE(rig.program->serialPort.Active());
    }
}

}  // namespace
}  // namespace qvd::test
