#include "core/clock/ClockOperations.h"

#include "core/clock/ClockBlock.h"
#include "core/clock/ClockRegisters.h"
#include "core/form/Text.h"

#include <array>
#include <cstdio>

namespace qvd {

namespace {

std::string TwoDigits(int value) {
    char text[4];
    std::snprintf(text, sizeof text, "%02d", value % 100);
    return text;
}

void FilterDigits(char& key) {
    if (!(key >= '0' && key <= '9') && key != '\b') key = 0;
}

void FilterCalibration(char& key) {
    if (!(key >= '0' && key <= '9') && key != '-' && key != '\b') key = 0;
}

}  // namespace

ClockOperations::ClockOperations(Host& host, MainForm& form, CommandExchange& link, Connection& conn)
    : host_(host), form_(form), link_(link), conn_(conn) {}

void ClockOperations::Attach() {
    form_.Button7.OnClick = [this] { Button7Click(); };
    form_.Button8.OnClick = [this] { Button8Click(); };
    form_.Button30.OnClick = [this] { Button30Click(); };
    form_.Button17.OnClick = [this] { Button17Click(); };
    form_.Button20.OnClick = [this] { Button20Click(); };
    // Edit2KeyPress serves every digit-only clock field.
    for (Control* edit : {&form_.Edit2, &form_.Edit5, &form_.Edit6, &form_.Edit7, &form_.Edit8,
                          &form_.Edit9})
        edit->OnKeyPress = FilterDigits;
    form_.Edit1.OnKeyPress = FilterCalibration;
    form_.Edit1.OnChange = [this] { Edit1Change(); };
    form_.Edit9.OnChange = [this] { Edit9Change(); };
}

// The replacement texts are in range themselves, so the change they cause
// ends at once.
void ClockOperations::Edit1Change() {
    if (!CalibrationTextAllowed(form_.Edit1.caption)) form_.Edit1.SetText("0");
}

void ClockOperations::Edit9Change() {
    if (!WeekdayTextAllowed(form_.Edit9.caption)) form_.Edit9.SetText("1");
}

void ClockOperations::ShowClockValidity(ClockLayout layout, const std::string& answer) {
    if (HasInvalidTimeMarker(layout, answer)) {
        form_.LogError("FEHLER: Uhrzeit konnte nicht korrekt ausgelesen werden.");
        form_.Panel3.SetColor(colors::Red);
    } else {
        form_.Panel3.SetColor(colors::ButtonFace);
    }
}

void ClockOperations::Button7Click() {
    form_.EnableControls(false);
    const ClockLayout layout = ClockLayoutOf(conn_.moduleType);
    std::string text;
    if (layout != ClockLayout::None &&
        link_.ExchangeCommand("f", static_cast<uint16_t>(ReadAnswerLength(layout)))) {
        const std::string answer = link_.LastAnswer();
        text = ClockText(DecodeClockBlock(layout, answer, kReadBlockOffset));
        if (layout == ClockLayout::Timekeeper)
            ShowTimekeeperBits(RegisterCharacters(layout, answer, kReadBlockOffset));
        ShowClockValidity(layout, answer);
    }
    form_.LogInfo("Zeit & Datum abfrage: " + FromWire(text));
    form_.Panel3.SetCaption(FromWire(text));
    form_.Timer1.SetEnabled(true);
}

void ClockOperations::ReadClockIntoFields() {
    const ClockLayout layout = ClockLayoutOf(conn_.moduleType);
    if (layout == ClockLayout::None) return;
    const bool read = link_.ExchangeCommand("f", static_cast<uint16_t>(ReadAnswerLength(layout)));
    const std::string answer = link_.LastAnswer();  // "---" after a failed read
    const ClockFields f = DecodeClockBlock(layout, answer, kReadBlockOffset);
    if (layout == ClockLayout::Adp) {
        form_.Edit12.SetText(FromWire(f.weekday));
        form_.Edit16.SetText(FromWire(f.extra));
    }
    form_.Edit2.SetText(FromWire(f.hours));
    form_.Edit6.SetText(FromWire(f.minutes));
    form_.Edit5.SetText(FromWire(f.day));
    form_.Edit7.SetText(FromWire(f.month));
    form_.Edit8.SetText(FromWire(f.year));
    form_.Panel3.SetCaption(FromWire(ClockText(f)));
    // A failed read says nothing about the clock: the colour stays, as it
    // does for "Abruf".
    if (read) ShowClockValidity(layout, answer);
    if (layout == ClockLayout::Rtc) ShowRtcBits(RegisterCharacters(layout, answer, kReadBlockOffset));
    if (layout == ClockLayout::Timekeeper)
        ShowTimekeeperBits(RegisterCharacters(layout, answer, kReadBlockOffset));
}

void ClockOperations::Button8Click() {
    form_.EnableControls(false);
    WriteClock(TwoDigits(host_.Now().second));
    form_.Timer1.SetEnabled(true);
}

void ClockOperations::Button30Click() {
    form_.EnableControls(false);
    // One reading of the PC clock for the fields and the seconds: read twice,
    // a minute turning over in between would set the clock a minute wrong.
    const LocalDateTime now = host_.Now();
    form_.Edit5.SetText(TwoDigits(now.day));
    form_.Edit7.SetText(TwoDigits(now.month));
    form_.Edit8.SetText(TwoDigits(now.year));
    form_.Edit2.SetText(TwoDigits(now.hour));
    form_.Edit6.SetText(TwoDigits(now.minute));
    WriteClock(TwoDigits(now.second));
    form_.Timer1.SetEnabled(true);
}

void ClockOperations::WriteClock(const std::string& pcSeconds) {
    const ClockLayout layout = ClockLayoutOf(conn_.moduleType);
    ClockInput input{ToWire(form_.Edit8.caption), ToWire(form_.Edit7.caption),
                     ToWire(form_.Edit5.caption), ToWire(form_.Edit2.caption),
                     ToWire(form_.Edit6.caption), {}, {}};
    if (layout == ClockLayout::Adp) {
        input.weekday = ToWire(form_.Edit12.caption);
        input.extra = ToWire(form_.Edit16.caption);
    }
    const auto commands = ClockSetCommands(layout, input, pcSeconds);
    if (!commands) {
        form_.LogInfo("Fehlerhafte Datum-/Zeitvorgabe");
        return;
    }

    std::string text;
    if (layout == ClockLayout::Adp) {
        // The results are not checked; the read-back is taken as it stands,
        // "---" after a failed "q".
        std::string answer;
        for (const std::string& command : *commands) {
            const bool last = &command == &commands->back();
            link_.ExchangeCommand(command, static_cast<uint16_t>(last ? SetAnswerLength(layout) : 6));
            answer = link_.LastAnswer();
            link_.DelayWithEvents(10);
        }
        text = ClockText(DecodeClockBlock(layout, answer, kEchoBlockOffset));
    } else {
        for (size_t i = 0; i < 2; ++i) {  // "o" and "p"
            link_.ExchangeCommand((*commands)[i], 6);
            link_.DelayWithEvents(10);
        }
        if (commands->size() == 3 &&
            link_.ExchangeCommand((*commands)[2], static_cast<uint16_t>(SetAnswerLength(layout)))) {
            const std::string answer = link_.LastAnswer();
            text = ClockText(DecodeClockBlock(layout, answer, kEchoBlockOffset));
            if (layout == ClockLayout::Timekeeper)
                ShowTimekeeperBits(RegisterCharacters(layout, answer, kEchoBlockOffset));
        }
    }
    form_.LogInfo("Zeit & Datum gesetzt: " + FromWire(text));
    form_.Panel3.SetCaption(FromWire(text));
}

namespace {

struct RtcBox {
    Control* box;
    uint16_t bit;  // in the command word, CF on top
};

std::array<RtcBox, 12> RtcBoxes(MainForm& form) {
    return {{{&form.CheckBox10, 0x800}, {&form.CheckBox1, 0x400},  {&form.CheckBox4, 0x200},
             {&form.CheckBox2, 0x100},  {&form.CheckBox6, 0x080},  {&form.CheckBox7, 0x040},
             {&form.CheckBox8, 0x020},  {&form.CheckBox9, 0x010},  {&form.CheckBox12, 0x008},
             {&form.CheckBox11, 0x004}, {&form.CheckBox13, 0x002}, {&form.CheckBox5, 0x001}}};
}

}  // namespace

void ClockOperations::ShowRtcBits(const std::string& registers) {
    const uint16_t word = RtcWord(registers);
    for (const RtcBox& b : RtcBoxes(form_)) b.box->SetChecked((word & b.bit) != 0);
}

void ClockOperations::Button17Click() {
    form_.EnableControls(false);
    uint16_t word = 0;
    // "Busy" cannot be ticked by the user, but its shown state goes along.
    for (const RtcBox& b : RtcBoxes(form_))
        if (b.box->checked) word |= b.bit;
    link_.ExchangeCommand(RtcRegisterCommand(word), 24);
    const std::string answer = link_.LastAnswer();
    form_.Panel3.SetCaption(
        FromWire(ClockText(DecodeClockBlock(ClockLayout::Rtc, answer, kEchoBlockOffset))));
    const std::string registers = RegisterCharacters(ClockLayout::Rtc, answer, kEchoBlockOffset);
    ShowRtcBits(registers);
    form_.LogInfo("RTC-Register Bits gesetzt (" + FromWire(registers) + ")");
    form_.Timer1.SetEnabled(true);
}

void ClockOperations::ShowTimekeeperBits(const std::string& characters) {
    const TimekeeperBits bits = DecodeTimekeeperBits(characters);
    form_.Edit1.SetText(std::to_string(bits.calibration));
    form_.CheckBox15.SetChecked(bits.stop);
    form_.CheckBox16.SetChecked(bits.frequencyTest);
    form_.Edit9.SetText(std::to_string(bits.weekday));  // 0 becomes "1" by Edit9Change
}

void ClockOperations::Button20Click() {
    form_.EnableControls(false);
    const std::string command = TimekeeperRegisterCommand(
        CalibrationValue(form_.Edit1.caption), WeekdayValue(form_.Edit9.caption),
        form_.CheckBox15.checked, form_.CheckBox16.checked);
    link_.ExchangeCommand(command, 22);
    const std::string answer = link_.LastAnswer();
    form_.Panel3.SetCaption(
        FromWire(ClockText(DecodeClockBlock(ClockLayout::Timekeeper, answer, kEchoBlockOffset))));
    const std::string characters = RegisterCharacters(ClockLayout::Timekeeper, answer, kEchoBlockOffset);
    ShowTimekeeperBits(characters);
    form_.LogInfo("Timekeeper-Register Bits gesetzt (" + FromWire(characters) + ")");
    form_.Timer1.SetEnabled(true);
}

}  // namespace qvd
