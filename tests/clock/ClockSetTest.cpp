#include "testkit/Rig.h"

#include <gtest/gtest.h>

namespace qvd::test {
namespace {

// Puts the PC clock at `at` plus `ms` milliseconds, as seen from now on.
void SetPcClock(Rig& rig, LocalDateTime at, uint32_t ms) {
    const uint64_t elapsed = rig.host.Time() - 100000;  // the virtual host's start tick
    rig.host.RunFor(static_cast<uint32_t>((ms + 1000 - elapsed % 1000) % 1000));
    at.second -= static_cast<int>((rig.host.Time() - 100000) / 1000);
    rig.host.pcClock = at;
}

TEST(ClockSet, TypedTimeIsSentAsTypedWithThePcSecondsOrRefusedWhenIncomplete) {
    // Typed: 09:30 01.02.07, adp weekday 4 and extra digit 0; `field` is then changed to `text`.
    struct Case {
        uint8_t type; Lines sent; std::string shown;
        std::string failing = {}; const char* field = "Edit2"; const char* text = "09";
    };
    const Case cases[] = {
        {1, {"o0702", "p0109", "q3045"}, "09:30:45  01.02.2007"}, {3, {"o0702", "p0109", "q3045"}, "09:30:45  01.02.2007"},
        {8, {"k0014", "o0070", "p2009", "q3045"}, "09:30:45  01.02.2007"},
        {0, {"o0702", "p0109"}, ""},
        // A failed "o" does not stop the set; adp builds its text from "---" as it stands.
        {1, {"o0702", "p0109", "q3045"}, "09:30:45  01.02.2007", "o0702"},
        {3, {"o0702", "p0109", "q3045"}, "", "q3045"},
        {8, {"k0014", "o0070", "p2009", "q3045"}, "::  ..20", "q3045"},
        // Without weekday or extra digit the adp fields join to 11 characters.
        {8, {}, "---", "", "Edit12", ""}, {8, {}, "---", "", "Edit16", ""}, {1, {}, "---", "", "Edit2", "9"}, {3, {}, "---", "", "Edit6", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " " + c.failing + " " + c.field);
        Rig rig(Rig::Opened, c.type);
        rig.device->tkControl = 0x3F;
        rig.device->faults.lengthDelta[c.failing] = -1;
        MainForm& f = rig.form();
        f.hoursEdit.SetText("09"), f.minutesEdit.SetText("30"), f.dayEdit.SetText("01"), f.monthEdit.SetText("02");
        f.yearEdit.SetText("07"), f.adpWeekdayEdit.SetText("4"), f.adpExtraEdit.SetText("0");
        f.Find(c.field)->SetText(c.text);
        f.clockDisplay.SetColor(colors::Red);
        SetPcClock(rig, {2007, 6, 24, 12, 0, 45}, 500);
        rig.Mark();
        f.clockSetButton.OnClick();
        EXPECT_EQ(rig.Sent(), c.sent);
        const std::string logged = c.sent.empty() ? "Fehlerhafte Datum-/Zeitvorgabe" : "Zeit & Datum gesetzt: " + c.shown;
        EXPECT_EQ(rig.Log().back(), logged);
        EXPECT_EQ(f.clockDisplay.caption, c.shown);
        EXPECT_EQ(f.clockDisplay.color, colors::Red);  // the set tests no marker
        // The Timekeeper's read-back refreshes its register bits.
        EXPECT_EQ(f.calibrationEdit.caption, c.type == 3 && !c.shown.empty() && c.shown != "---" ? "-31" : "0");
    }
}

TEST(ClockSet, PcZeitTakesThePcClockOnce) {
    struct Case { uint8_t type; LocalDateTime pc; Lines fields; Lines sent; };
    const Case cases[] = {
        {1, {2007, 6, 24, 12, 0, 59}, {"12", "00", "24", "06", "07"}, {"o0706", "p2412", "q0059"}},
        {3, {2007, 6, 30, 23, 59, 59}, {"23", "59", "30", "06", "07"}, {"o0706", "p3023", "q5959"}},
        // Weekday and extra digit stay as they are.
        {8, {2009, 12, 31, 23, 59, 59}, {"23", "59", "31", "12", "09"}, {"k0015", "o3091", "p2323", "q5959"}},
    };
    for (const Case& c : cases) {
        Rig rig(Rig::Opened, c.type);
        MainForm& f = rig.form();
        f.adpWeekdayEdit.SetText("5"), f.adpExtraEdit.SetText("3");
        SetPcClock(rig, c.pc, 900);
        // The PC clock runs on while the fields are filled.
        f.yearEdit.OnChange = [&rig] { rig.host.Sleep(200); };
        rig.Mark();
        f.pcTimeButton.OnClick();
        EXPECT_EQ((Lines{f.hoursEdit.caption, f.minutesEdit.caption, f.dayEdit.caption, f.monthEdit.caption, f.yearEdit.caption}), c.fields);
        EXPECT_EQ(rig.Sent(), c.sent) << int(c.type);
        EXPECT_EQ(f.adpWeekdayEdit.caption, "5");
    }
}

}  // namespace
}  // namespace qvd::test
