#include "testkit/Rig.h"

#include <gtest/gtest.h>

namespace qvd::test {
namespace {

std::vector<Control*> RtcBoxes(MainForm& f) {
    return {&f.rtcTestCheck, &f.rtc24hCheck, &f.rtcStopCheck,  &f.rtcResetCheck,  &f.rtcT1Check,  &f.rtcT0Check,
            &f.rtcInterruptCheck,  &f.rtcMaskCheck, &f.rtcAdjustCheck, &f.rtcIrqCheck, &f.rtcBusyCheck, &f.rtcHoldCheck};
}

TEST(ClockRegisterBits, RtcSetzenWritesTheBoxesAndShowsTheReadBack) {
    struct Case { Lines checked; std::string registers; bool silent = false; };
    const Case cases[] = {
        {{"CheckBox1", "CheckBox5"}, "401"},  // 24h and Hold
        {{"CheckBox10", "CheckBox1", "CheckBox4", "CheckBox2", "CheckBox6", "CheckBox7", "CheckBox8", "CheckBox9",
          "CheckBox12", "CheckBox11", "CheckBox13", "CheckBox5"}, "FFF"},
        {{"CheckBox4", "CheckBox9", "CheckBox13"}, "212"},  // "Busy" goes along, though disabled
        {{}, "000"}, {{"CheckBox1", "CheckBox5"}, "401", true},  // a failed write clears the boxes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.registers);
        Rig rig(Rig::Opened, 1);
        rig.device->faults.silent = c.silent;
        for (Control* box : RtcBoxes(rig.form())) box->SetChecked(Has(c.checked, box->name));
        rig.Mark();
        rig.form().rtcSetButton.OnClick();
        EXPECT_EQ(rig.Sent(), Lines{"k" + c.registers + "0"});
        EXPECT_EQ(rig.Log(), Lines{"RTC-Register Bits gesetzt (" + (c.silent ? "" : c.registers) + ")"});
        EXPECT_EQ(rig.form().clockDisplay.caption, c.silent ? "::  ..20" : "12:00:00  24.06.2007");
        // The boxes show what the module reports.
        Lines nowChecked;
        for (Control* box : RtcBoxes(rig.form()))
            if (box->checked) nowChecked.push_back(box->name);
        EXPECT_EQ(nowChecked, c.silent ? Lines{} : c.checked);
    }
}

TEST(ClockRegisterBits, TimekeeperSetzenWritesAndShowsTheReadBack) {
    struct Case { std::string calibration, weekday; bool stop, freq; std::string command, echoed; };
    const Case cases[] = {
        {"-5", "3", true, false, "k2583", "25803"},  // Stop reads back in the seconds: 80
        {"31", "7", true, true, "k1FC7", "1F847"},
        {"-", "", false, false, "k0001", "00001"},
        {"-5", "3", true, true, "k25C3", ""},  // the answer is one short: the bits are cleared
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        Rig rig(Rig::Opened, 3);
        rig.device->faults.lengthDelta["k25C3"] = -1;
        MainForm& f = rig.form();
        f.calibrationEdit.SetText(c.calibration), f.timekeeperWeekdayEdit.SetText(c.weekday);
        f.timekeeperStopCheck.SetChecked(c.stop), f.frequencyTestCheck.SetChecked(c.freq);
        rig.Mark();
        f.timekeeperSetButton.OnClick();
        const bool failed = c.echoed.empty();
        EXPECT_EQ(rig.Sent(), Lines{c.command});
        EXPECT_EQ(rig.Log().back(), "Timekeeper-Register Bits gesetzt (" + c.echoed + ")");
        EXPECT_EQ(f.clockDisplay.caption, failed ? "::  ..20" : c.stop ? "12:00:80  24.06.2007" : "12:00:00  24.06.2007");
        EXPECT_EQ(f.calibrationEdit.caption, failed || c.calibration == "-" ? "0" : c.calibration);
        EXPECT_EQ(f.timekeeperWeekdayEdit.caption, failed || c.weekday.empty() ? "1" : c.weekday);
        EXPECT_EQ(std::pair(f.timekeeperStopCheck.checked, f.frequencyTestCheck.checked), std::pair(c.stop && !failed, c.freq && !failed));
    }
}

// The Timekeeper's bits as read ("registers") or the fields as typed end up
// as calibration and weekday in range.
TEST(ClockRegisterBits, CalibrationAndWeekdayAreKeptInRange) {
    struct Case { std::string registers, typed, calibration, weekday; };
    const Case cases[] = {
        {"3F001", "", "-31", "1"}, {"20001", "", "0", "1"}, {"1F001", "", "31", "1"}, {"C5004", "", "5", "4"},
        {"00000", "", "0", "1"},  // weekday 0 ends up as 1
        {"", "32", "0", "1"}, {"", "-32", "0", "1"}, {"", "-31", "-31", "1"}, {"", "-", "-", "1"}, {"", "4", "4", "4"},
        {"", "8", "8", "1"}, {"", "0", "0", "1"}, {"", "3-", "0", "1"}, {"", "", "", ""}, {"", "99999999999999999999", "0", "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.registers + "|" + c.typed);
        Rig rig(Rig::Opened, 3);
        MainForm& f = rig.form();
        f.calibrationEdit.SetText("7");
        f.timekeeperWeekdayEdit.SetText("2");
        if (!c.registers.empty()) rig.program->clock.ShowTimekeeperBits(c.registers);
        else f.calibrationEdit.SetText(c.typed), f.timekeeperWeekdayEdit.SetText(c.typed);
        EXPECT_EQ(f.calibrationEdit.caption, c.calibration);
        EXPECT_EQ(f.timekeeperWeekdayEdit.caption, c.weekday);
    }
}

}  // namespace
}  // namespace qvd::test
