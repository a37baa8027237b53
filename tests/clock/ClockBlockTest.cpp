#include "core/clock/ClockBlock.h"
#include "core/clock/ClockRegisters.h"

#include <gtest/gtest.h>

namespace qvd {
namespace {

constexpr auto Rtc = ClockLayout::Rtc;
constexpr auto Tk = ClockLayout::Timekeeper;
constexpr auto Adp = ClockLayout::Adp;

TEST(ClockBlock, TextIsBuiltFromTheFieldsAsTheyStand) {
    struct Case { ClockLayout layout; std::string answer; size_t offset; std::string text; };
    const Case cases[] = {
        {Rtc, "400000706241120304", 1, "12:03:04  24.06.2007"},
        // Hour 32 and the Stop bit in the seconds (8x) are shown as received.
        {Tk, "0059593201311207", 1, "32:59:59  31.12.2007"},
        {Tk, "0085593201311207", 1, "32:59:85  31.12.2007"},
        {Adp, "30706247120304", 1, "12:03:04  24.06.2007"},
        // "q" and "k" answers: six leading characters, then the block.
        {Rtc, "k4010 400000706241120304", 7, "12:03:04  24.06.2007"},
        {Tk, "q3045 2545300903010207", 7, "09:30:45  01.02.2007"},
        {Adp, "q3045 00702014093045", 7, "09:30:45  01.02.2007"},
        // A failed exchange leaves "---": only separators remain.
        {Rtc, "---", 7, "::  ..20"},
        {Adp, "---", 1, "::  ..20--"},
        {ClockLayout::None, "400000706241120304", 1, "::  ..20"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClockText(DecodeClockBlock(c.layout, c.answer, c.offset)), c.text) << c.answer;
    }
    // The clock text never grows past 20 characters, whatever the fields hold.
    EXPECT_EQ(ClockText({"123", "456", "789", "12", "34", "5678", "", ""}).size(), 20u);
}

TEST(ClockBlock, AdpFieldsOfTheirOwn) {
    const ClockFields f = DecodeClockBlock(Adp, "30706247120304", 1);
    EXPECT_EQ(f.extra, "3");
    EXPECT_EQ(f.weekday, "7");
    EXPECT_EQ(f.year, "07");
    EXPECT_TRUE(DecodeClockBlock(Rtc, "400000706241120304", 1).weekday.empty());
}

TEST(ClockBlock, InvalidMarkerOnlyAtTheLayoutsPositions) {
    struct Case { ClockLayout layout; std::string answer; bool invalid; };
    const Case cases[] = {
        {Rtc, "400000706124FFFFFF", true},
        {Rtc, "4000FFFFFFFF120304", false},  // date fields only
        {Rtc, "400000706124FFFFFf", false},  // compared exactly
        {Rtc, "400000706124FFFFF", false},
        {Tk, "00FFFFFF07240607", true},
        {Tk, "000000FFFFFFFFFF", false},
        {Adp, "30FFFFFF120304", true},    // year units, month, day, weekday
        {Adp, "30706247FFFFFF", false},   // time fields only
        {Adp, "---", false},
        {ClockLayout::None, "FFFFFFFFFFFFFFFFFF", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HasInvalidTimeMarker(c.layout, c.answer), c.invalid) << c.answer;
}

TEST(ClockBlock, RegisterCharacters) {
    EXPECT_EQ(RegisterCharacters(Rtc, "k4010 400000706241120304", 7), "400");
    EXPECT_EQ(RegisterCharacters(Tk, "25C5300901010207", 1), "25C01");
    EXPECT_EQ(RegisterCharacters(Tk, "---", 7), "");
    EXPECT_EQ(RegisterCharacters(Adp, "30706247120304", 1), "");
}

TEST(ClockBlock, SetCommandsPerLayout) {
    const ClockInput typed{"07", "02", "01", "09", "30", "4", "0"};
    using List = std::vector<std::string>;
    EXPECT_EQ(ClockSetCommands(Rtc, typed, "45"), (List{"o0702", "p0109", "q3045"}));
    EXPECT_EQ(ClockSetCommands(Tk, typed, "45"), (List{"o0702", "p0109", "q3045"}));
    EXPECT_EQ(ClockSetCommands(Adp, typed, "45"), (List{"k0014", "o0070", "p2009", "q3045"}));
    EXPECT_EQ(ClockSetCommands(ClockLayout::None, typed, "45"), (List{"o0702", "p0109"}));

    struct Refused { ClockLayout layout; ClockInput input; };
    const Refused refused[] = {
        {Rtc, {"07", "02", "01", "9", "30", "", ""}},
        {Tk, {"07", "02", "01", "09", "", "", ""}},
        {Adp, {"07", "02", "01", "09", "30", "", "0"}},  // 11 characters
        {Adp, {"07", "02", "01", "09", "30", "4", ""}},
        {Rtc, {"07", "02", "011", "09", "3", "", ""}},  // ten characters, but not in place
    };
    for (const Refused& r : refused) EXPECT_FALSE(ClockSetCommands(r.layout, r.input, "45"));
}

TEST(ClockRegisters, RegisterCharactersReadAsHexDigits) {
    struct Case { std::string registers; uint16_t word; };
    for (const Case& c : {Case{"401", 0x401}, Case{"fA1", 0xFA1}, Case{"4-", 0x400},
                          Case{"", 0}, Case{"---", 0}, Case{"G9", 0x090}})
        EXPECT_EQ(RtcWord(c.registers), c.word) << c.registers;
    EXPECT_EQ(DecodeTimekeeperBits("---").calibration, 0);
    EXPECT_EQ(DecodeTimekeeperBits("25847").weekday, 7);
    EXPECT_TRUE(DecodeTimekeeperBits("25847").frequencyTest);
}

}  // namespace
}  // namespace qvd
