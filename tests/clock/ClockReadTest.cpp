#include "testkit/Rig.h"

#include <gtest/gtest.h>

#include <functional>

namespace qvd::test {
namespace {

Lines ClockFields(MainForm& f) {
    return {f.hoursEdit.caption, f.minutesEdit.caption, f.dayEdit.caption, f.monthEdit.caption, f.yearEdit.caption};
}

// "Abruf" shows the clock and leaves the fields; only the Timekeeper's
// register bits are refreshed (the RTC reports 24h).
TEST(ClockRead, AbrufShowsTheClockAndMarksInvalidTimesOnlyAtTheLayoutsPositions) {
    // answer: "" = the adapter's own, "FF" = the chip is unreadable, "short" = one byte short.
    struct Case { uint8_t type; std::string answer; std::string text; bool invalid; };
    const std::string now = "12:00:00  24.06.2007";
    const Case cases[] = {
        {1, "", now, false}, {2, "", now, false}, {3, "", now, false}, {8, "", now, false},
        {1, "FF", "FF:FF:FF  24.06.2007", true}, {3, "FF", "FF:FF:FF  24.06.2007", true},
        {8, "FF", "12:00:00  FF.FF.200F", true},  // adp: year units, month, day, weekday
        {1, "4000FFFFFFFF120304", "12:03:04  FF.FF.20FF", false},
        {3, "000000FFFFFFFFFF", "FF:00:00  FF.FF.20FF", false},
        {8, "30706247FFFFFF", "FF:FF:FF  24.06.2007", false},
        {1, "400000706124FFFFFf", "FF:FF:Ff  12.06.2007", false},  // compared exactly
        {3, "0059593201311207", "32:59:59  31.12.2007", false},    // nothing is range-checked
        {0, "short", "", false}, {1, "short", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " " + c.answer);
        Rig rig(Rig::Opened, c.type);
        rig.device->tkControl = 0x25;
        if (c.answer == "FF") rig.device->faults.clockUnreadable = true;
        else if (c.answer == "short") rig.device->faults.lengthDelta["f"] = -1;
        else if (!c.answer.empty()) rig.device->faults.replaceOnce["f"] = c.answer;
        rig.form().clockDisplay.SetColor(colors::Red);
        rig.Mark();
        rig.form().clockReadButton.OnClick();
        EXPECT_EQ(rig.Sent(), c.type ? Lines{"f"} : Lines{});
        Lines log = rig.Log();
        if (c.answer == "short") log.erase(log.begin(), log.end() - 1);  // after the exchange's error line
        const std::string info = "Zeit & Datum abfrage: " + c.text;
        EXPECT_EQ(log, (c.invalid ? Lines{"FEHLER: Uhrzeit konnte nicht korrekt ausgelesen werden.", info}
                                  : Lines{info}));
        EXPECT_EQ(rig.form().clockDisplay.caption, c.text);
        // A failed read says nothing about the clock: the colour stays.
        EXPECT_EQ(rig.form().clockDisplay.color, c.invalid || c.text.empty() ? colors::Red : colors::ButtonFace);
        EXPECT_EQ(ClockFields(rig.form()), (Lines{"22", "22", "31", "10", "05"}));
        EXPECT_TRUE(!c.answer.empty() || rig.form().calibrationEdit.caption == (c.type == 2 || c.type == 3 ? "-5" : "0"));
        // Red stays until a read passes the test.
        rig.device->faults = {};
        rig.form().clockReadButton.OnClick();
        EXPECT_EQ(rig.form().clockDisplay.color, c.type ? colors::ButtonFace : colors::Red);
    }
}

TEST(ClockRead, SearchReadFillsTheFields) {
    sim::DeviceConfig config;
    config.year = 8, config.month = 2, config.day = 29, config.hour = 13, config.minute = 45, config.second = 30, config.weekday = 5;
    // A failed read empties the fields and clears the bits.
    const Lines read = {"13", "45", "29", "02", "08"}, none(5, "");
    struct Case { uint8_t type; bool silent; std::function<bool(MainForm&)> bits; };
    const Case cases[] = {
        {1, false, [](MainForm& f) { return f.rtc24hCheck.checked && !f.rtcHoldCheck.checked; }},
        {2, false, [](MainForm& f) { return f.timekeeperWeekdayEdit.caption == "5" && f.calibrationEdit.caption == "-3"; }},
        {8, false, [](MainForm& f) { return f.adpWeekdayEdit.caption == "5" && f.adpExtraEdit.caption == "6"; }},
        {1, true, [](MainForm& f) { return !f.rtcHoldCheck.checked; }},
    };
    for (const Case& c : cases) {
        Rig rig(Rig::Opened, c.type, config);
        rig.device->tkControl = 0x23;
        rig.device->adpExtra = 6;
        rig.device->faults.silent = c.silent;
        rig.form().rtcHoldCheck.SetChecked(true);
        rig.form().clockDisplay.SetColor(colors::Red);
        rig.Mark();
        rig.program->clock.ReadClockIntoFields();
        EXPECT_EQ(rig.Sent(), Lines{"f"});
        EXPECT_EQ(ClockFields(rig.form()), c.silent ? none : read) << int(c.type);
        EXPECT_EQ(rig.form().clockDisplay.caption, c.silent ? "::  ..20" : "13:45:30  29.02.2008") << int(c.type);
        EXPECT_EQ(rig.form().clockDisplay.color, c.silent ? colors::Red : colors::ButtonFace);
        EXPECT_TRUE(c.bits(rig.form())) << int(c.type);
        EXPECT_TRUE(rig.Log().empty());  // the search writes its own line
    }
}

}  // namespace
}  // namespace qvd::test
