#include "clock/ClockRig.h"

#include <gtest/gtest.h>

#include <functional>

namespace qvd::test {
namespace {

const std::string kError = "FEHLER: Uhrzeit konnte nicht korrekt ausgelesen werden.";

std::vector<std::string> ClockFields(MainForm& f) {
    return {f.Edit2.caption, f.Edit6.caption, f.Edit5.caption, f.Edit7.caption, f.Edit8.caption};
}

TEST(ClockRead, AbrufShowsTheClockAndLeavesTheFields) {
    for (uint8_t type : {1, 4, 2, 3, 8}) {
        ClockRig rig(type);
        rig.form().Panel3.SetColor(colors::Red);
        rig.Mark();
        rig.form().Button7.OnClick();
        EXPECT_EQ(rig.Sent(), Lines{"f"}) << int(type);
        EXPECT_EQ(rig.form().Panel3.caption, "12:00:00  24.06.2007") << int(type);
        EXPECT_EQ(rig.form().Panel3.color, colors::ButtonFace) << int(type);
        EXPECT_EQ(rig.Logged(), Lines{"Zeit & Datum abfrage: 12:00:00  24.06.2007"}) << int(type);
        EXPECT_EQ(ClockFields(rig.form()), (Lines{"22", "22", "31", "10", "05"})) << int(type);
    }
}

TEST(ClockRead, OnlyTheTimekeeperReadRefreshesTheRegisterBits) {
    ClockRig tk(3);
    tk.device.tkControl = 0x25;
    tk.device.tkStop = true;
    tk.form().Button7.OnClick();
    EXPECT_EQ(tk.form().Edit1.caption, "-5");
    EXPECT_TRUE(tk.form().CheckBox15.checked);
    EXPECT_EQ(tk.form().Edit9.caption, "7");

    ClockRig rtc(1);  // the module reports 24h
    rtc.form().Button7.OnClick();
    EXPECT_FALSE(rtc.form().CheckBox1.checked);
}

TEST(ClockRead, InvalidTimeMarker) {
    struct Case { uint8_t type; std::string answer; std::string text; bool invalid; };
    const Case cases[] = {
        {1, "", "FF:FF:FF  24.06.2007", true},  // "" = the chip is unreadable
        {3, "", "FF:FF:FF  24.06.2007", true},
        {8, "", "12:00:00  FF.FF.200F", true},
        {1, "4000FFFFFFFF120304", "12:03:04  FF.FF.20FF", false},
        {8, "30706247FFFFFF", "FF:FF:FF  24.06.2007", false},
        // Nothing is range-checked.
        {3, "0059593201311207", "32:59:59  31.12.2007", false},
    };
    for (const Case& c : cases) {
        ClockRig rig(c.type);
        if (c.answer.empty()) rig.device.faults.clockUnreadable = true;
        else rig.device.faults.replaceOnce["f"] = c.answer;
        rig.Mark();
        rig.form().Button7.OnClick();
        const std::string info = "Zeit & Datum abfrage: " + c.text;
        EXPECT_EQ(rig.Logged(), (c.invalid ? Lines{kError, info} : Lines{info})) << c.text;
        EXPECT_EQ(rig.form().Panel3.caption, c.text);
        EXPECT_EQ(rig.form().Panel3.color, c.invalid ? colors::Red : colors::ButtonFace) << c.text;
        // Red stays until a read passes the test.
        rig.device.faults.clockUnreadable = false;
        rig.form().Button7.OnClick();
        EXPECT_EQ(rig.form().Panel3.color, colors::ButtonFace);
    }
}

TEST(ClockRead, FailedOrImpossibleReadShowsNothingAndKeepsTheColour) {
    for (uint8_t type : {0, 1, 3, 8}) {
        ClockRig rig(type);
        if (type) rig.device.faults.lengthDelta["f"] = -1;
        rig.form().Panel3.SetColor(colors::Red);
        rig.Mark();
        rig.form().Button7.OnClick();
        EXPECT_EQ(rig.Sent(), type ? Lines{"f"} : Lines{}) << int(type);
        EXPECT_EQ(rig.Logged().back(), "Zeit & Datum abfrage: ") << int(type);
        EXPECT_EQ(rig.form().Panel3.caption, "") << int(type);
        EXPECT_EQ(rig.form().Panel3.color, colors::Red) << int(type);
    }
}

TEST(ClockRead, SearchReadFillsTheFields) {
    sim::DeviceConfig config;
    config.year = 8, config.month = 2, config.day = 29, config.hour = 13, config.minute = 45,
    config.second = 30, config.weekday = 5;
    struct Case { uint8_t type; std::function<bool(MainForm&)> registersShown; };
    const Case cases[] = {
        {1, [](MainForm& f) { return f.CheckBox1.checked && !f.CheckBox5.checked; }},
        {2, [](MainForm& f) { return f.Edit9.caption == "5" && f.Edit1.caption == "-3"; }},
        {8, [](MainForm& f) { return f.Edit12.caption == "5" && f.Edit16.caption == "6"; }},
    };
    for (const Case& c : cases) {
        ClockRig rig(c.type, config);
        rig.device.tkControl = 0x23;
        rig.device.adpExtra = 6;
        rig.form().Panel3.SetColor(colors::Red);
        rig.Mark();
        rig.clock().ReadClockIntoFields();
        EXPECT_EQ(rig.Sent(), Lines{"f"});
        EXPECT_EQ(ClockFields(rig.form()), (Lines{"13", "45", "29", "02", "08"})) << int(c.type);
        EXPECT_EQ(rig.form().Panel3.caption, "13:45:30  29.02.2008") << int(c.type);
        EXPECT_EQ(rig.form().Panel3.color, colors::ButtonFace);
        EXPECT_TRUE(c.registersShown(rig.form())) << int(c.type);
        EXPECT_TRUE(rig.Logged().empty());  // the search writes its own line
    }
}

TEST(ClockRead, FailedSearchReadEmptiesTheFieldsButKeepsTheColour) {
    ClockRig rig(1);
    rig.form().CheckBox5.SetChecked(true);
    rig.form().Panel3.SetColor(colors::Red);
    rig.device.faults.silent = true;
    rig.clock().ReadClockIntoFields();
    EXPECT_EQ(ClockFields(rig.form()), (Lines{"", "", "", "", ""}));
    EXPECT_EQ(rig.form().Panel3.caption, "::  ..20");
    EXPECT_EQ(rig.form().Panel3.color, colors::Red);
    EXPECT_FALSE(rig.form().CheckBox5.checked);
}

TEST(ClockRead, EveryHandlerTakesTheLockAndOnlyRestartsTheTimer) {
    const std::pair<const char*, int> handlers[] = {
        {"Button7", 1}, {"Button8", 1}, {"Button30", 8}, {"Button17", 1}, {"Button20", 3}};
    for (const auto& [name, type] : handlers) {
        ClockRig rig(static_cast<uint8_t>(type));
        rig.form().EnableControls(true);
        rig.form().Timer1.SetEnabled(false);
        rig.form().Find(name)->OnClick();
        EXPECT_TRUE(rig.form().Timer1.Enabled()) << name;
        EXPECT_FALSE(rig.form().Button7.enabled) << name;
        EXPECT_FALSE(rig.form().window.enabled) << name;
        EXPECT_EQ(rig.form().StatusBar2.color, colors::Yellow) << name;
    }
}

}  // namespace
}  // namespace qvd::test
