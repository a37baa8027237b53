#include "core/link/CommandExchange.h"
#include "support/Rig.h"

#include <gtest/gtest.h>

namespace qvd::test {
namespace {

struct ExchangeRig : Rig {
    sim::QvdDevice& device;
    ExchangeRig() : device(AddAdapter(1)) {
        program->VaComm1.SetPortNum(1);
        program->VaComm1.Open();
    }
    CommandExchange& link() { return program->link; }
};

TEST(CommandExchange, AcceptsAnswerOfExactLengthOnly) {
    struct Case { int delta; bool ok; };
    for (Case c : {Case{0, true}, Case{-1, false}, Case{+1, false}}) {
        ExchangeRig rig;
        if (c.delta) rig.device.faults.lengthDelta["r"] = c.delta;
        const size_t logBefore = rig.form().Memo1.lines.size();
        EXPECT_EQ(rig.link().ExchangeCommand("r", 18), c.ok) << c.delta;
        if (c.ok) {
            EXPECT_EQ(rig.link().LastAnswer().size(), 18u);
            EXPECT_EQ(rig.form().Memo1.lines.size(), logBefore);
        } else {
            EXPECT_EQ(rig.link().LastAnswer(), "---");
            ASSERT_GT(rig.form().Memo1.lines.size(), logBefore);
            EXPECT_EQ(rig.form().Memo1.lines[logBefore].rfind("Fehler (r): Abweichende Befehlsantwort (", 0), 0u);
            EXPECT_EQ(rig.form().Memo1.color, colors::Red);
        }
        EXPECT_EQ(rig.form().Panel4.color, colors::Navy);
    }
}

TEST(CommandExchange, ShortAnswerIsQuotedWholeInTheErrorLine) {
    ExchangeRig rig;
    rig.device.faults.replaceOnce["r"] = std::string("FF1-0000-0000000\r");  // 17 bytes
    EXPECT_FALSE(rig.link().ExchangeCommand("r", 18));
    const auto& lines = rig.form().Memo1.lines;
    EXPECT_EQ(lines[lines.size() - 2], "Fehler (r): Abweichende Befehlsantwort (FF1-0000-0000000");
    EXPECT_EQ(lines.back(), ").");
    // The carriage return inside the answer splits the log line, as the log does with any CR.
    EXPECT_EQ(rig.form().StatusPanel1.caption, "Fehler (r): Abweichende Befehlsantwort (FF1-0000-0000000 ).");
}

TEST(CommandExchange, SilenceFailsQuietly) {
    ExchangeRig rig;
    rig.device.faults.silent = true;
    const size_t logBefore = rig.form().Memo1.lines.size();
    EXPECT_FALSE(rig.link().ExchangeCommand("r", 18));
    EXPECT_EQ(rig.link().LastAnswer(), "---");
    EXPECT_EQ(rig.form().Memo1.lines.size(), logBefore);
}

TEST(CommandExchange, BytesWaitingBeforeTheCommandAreDropped) {
    ExchangeRig rig;
    // Something unasked arrives and waits in the driver.
    rig.device.send("junk");
    rig.host.RunFor(50);
    EXPECT_TRUE(rig.link().ExchangeCommand("r", 18));
    EXPECT_EQ(rig.link().LastAnswer().substr(0, 3), "FF1");
}

TEST(CommandExchange, WaitsTheAnswerTimeOfTheTable) {
    struct Case { std::string command; uint16_t length; uint8_t type; uint32_t waitMs; };
    const Case cases[] = {
        {"r", 18, 1, 90}, {"w0001", 6, 1, 30}, {"x", 80, 0, 400},
        {"g0010", 10, 4, 9000}, {"g0010", 10, 5, 20000}, {"g0010", 10, 1, 4500},
        {"g0020", 10, 2, 36000}, {"g0020", 10, 4, 42000}, {"g0010", 10, 0, 0}, {"g0020", 10, 8, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AnswerTime(c.command, c.length, c.type), c.waitMs) << c.command << " " << int(c.type);
    }
    ExchangeRig rig;
    rig.conn().moduleType = 4;
    const uint64_t start = rig.host.Time();
    rig.link().ExchangeCommand("g0010", 10);
    const uint64_t took = rig.host.Time() - start;
    EXPECT_GE(took, 9001u);
    EXPECT_LE(took, 9010u);
}

TEST(CommandExchange, FormatHex4) {
    EXPECT_EQ(FormatHex4(0xFFFF), "FFFF");
    EXPECT_EQ(FormatHex4(10), "000A");
    EXPECT_EQ(FormatHex4(0x1F), "001F");
    EXPECT_EQ(FormatHex4(0), "0000");
}

TEST(CommandExchange, UnpluggedAdapterFailsTheExchangeAndIsReported) {
    ExchangeRig rig;
    rig.ports.Unplug("COM1");
    EXPECT_FALSE(rig.link().ExchangeCommand("r", 18));
    EXPECT_EQ(rig.link().LastAnswer(), "---");
    EXPECT_EQ(rig.form().Panel4.color, colors::Navy);
    EXPECT_EQ(rig.form().Memo1.color, colors::Red);
    EXPECT_NE(rig.form().Memo1.lines.back().find("Error retrieving statistics"), std::string::npos);
    // Afterwards the port behaves as closed: silent failure, no new error line.
    const size_t logBefore = rig.form().Memo1.lines.size();
    EXPECT_FALSE(rig.link().ExchangeCommand("r", 18));
    EXPECT_EQ(rig.form().Memo1.lines.size(), logBefore);
}

TEST(CommandExchange, RawBytesLeaveAsSingleBytes) {
    ExchangeRig rig;
    rig.link().SendCommand(std::string(1, kReleaseByte), 100);
    ASSERT_FALSE(rig.device.received.empty());
    EXPECT_EQ(rig.device.received.back(), "<DF>");
    EXPECT_EQ(static_cast<unsigned char>(kProbeByte), 0xF6);
}

}  // namespace
}  // namespace qvd::test
