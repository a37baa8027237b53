#include "core/clock/ClockOperations.h"

#include "core/clock/ClockBlock.h"
#include "core/clock/ClockRegisters.h"
#include "core/wire/Text.h"

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

ClockOperations::ClockOperations(Host& host, MainForm& form, CommandExchange& exchange, const Connection& conn)
    : host_(host), form_(form), exchange_(exchange), conn_(conn) {}

void ClockOperations::Attach() {
    // One digit filter serves every digit-only clock field.
    for (Control* edit : {&form_.hoursEdit, &form_.dayEdit, &form_.minutesEdit, &form_.monthEdit, &form_.yearEdit,
                          &form_.timekeeperWeekdayEdit})
        edit->OnKeyPress = FilterDigits;
    form_.calibrationEdit.OnKeyPress = FilterCalibration;
    form_.calibrationEdit.OnChange = [this] { KeepCalibrationInRange(); };
    form_.timekeeperWeekdayEdit.OnChange = [this] { KeepWeekdayInRange(); };
}

// The replacement texts are in range themselves, so the change they cause
// ends at once.
void ClockOperations::KeepCalibrationInRange() {
    if (!CalibrationTextAllowed(form_.calibrationEdit.caption)) form_.calibrationEdit.SetText("0");
}

void ClockOperations::KeepWeekdayInRange() {
    if (!WeekdayTextAllowed(form_.timekeeperWeekdayEdit.caption)) form_.timekeeperWeekdayEdit.SetText("1");
}

void ClockOperations::ShowClockValidity(ClockLayout layout, const std::string& answer) {
    if (HasInvalidTimeMarker(layout, answer)) {
        form_.LogError("FEHLER: Uhrzeit konnte nicht korrekt ausgelesen werden.");
        form_.clockDisplay.SetColor(colors::Red);
    } else {
        form_.clockDisplay.SetColor(colors::ButtonFace);
    }
}

void ClockOperations::ReadClock(BusyLock& lock) {
    lock.TakeControls();
    const ClockLayout layout = ClockLayoutOf(conn_.moduleType());
    std::string text;
    if (layout != ClockLayout::None &&
        exchange_.ExchangeCommand("f", static_cast<uint16_t>(ReadAnswerLength(layout)))) {
        const std::string answer = exchange_.LastAnswer();
        text = ClockText(DecodeClockBlock(layout, answer, kReadBlockOffset));
        if (layout == ClockLayout::Timekeeper)
            ShowTimekeeperBits(RegisterCharacters(layout, answer, kReadBlockOffset));
        ShowClockValidity(layout, answer);
        lock.Report(Outcome::Succeeded);
    } else {
        lock.Report(layout == ClockLayout::None ? Outcome::BadInput : Outcome::AdapterLost);
    }
    form_.LogInfo("Zeit & Datum abfrage: " + FromWire(text));
    form_.clockDisplay.SetCaption(FromWire(text));
}

void ClockOperations::ReadClockIntoFields() { ReadClockIntoFields(ClockLayoutOf(conn_.moduleType())); }

void ClockOperations::ReadClockIntoFields(ClockLayout layout) {
    if (layout == ClockLayout::None) return;
    const bool read = exchange_.ExchangeCommand("f", static_cast<uint16_t>(ReadAnswerLength(layout)));
    const std::string answer = exchange_.LastAnswer();  // "---" after a failed read
    const ClockFields f = DecodeClockBlock(layout, answer, kReadBlockOffset);
    if (layout == ClockLayout::Adp) {
        form_.adpWeekdayEdit.SetText(FromWire(f.weekday));
        form_.adpExtraEdit.SetText(FromWire(f.extra));
    }
    form_.hoursEdit.SetText(FromWire(f.hours));
    form_.minutesEdit.SetText(FromWire(f.minutes));
    form_.dayEdit.SetText(FromWire(f.day));
    form_.monthEdit.SetText(FromWire(f.month));
    form_.yearEdit.SetText(FromWire(f.year));
    form_.clockDisplay.SetCaption(FromWire(ClockText(f)));
    // A failed read says nothing about the clock: the colour stays, as it
    // does for "Abruf".
    if (read) ShowClockValidity(layout, answer);
    if (layout == ClockLayout::Rtc) ShowRtcBits(RegisterCharacters(layout, answer, kReadBlockOffset));
    if (layout == ClockLayout::Timekeeper)
        ShowTimekeeperBits(RegisterCharacters(layout, answer, kReadBlockOffset));
}

void ClockOperations::SetClockFromFields(BusyLock& lock) {
    lock.TakeControls();
    lock.Report(WriteClock(TwoDigits(host_.Now().second)));
}

void ClockOperations::SetClockFromPc(BusyLock& lock) {
    lock.TakeControls();
    // One reading of the PC clock for the fields and the seconds: read twice,
    // a minute turning over in between would set the clock a minute wrong.
    const LocalDateTime now = host_.Now();
    form_.dayEdit.SetText(TwoDigits(now.day));
    form_.monthEdit.SetText(TwoDigits(now.month));
    form_.yearEdit.SetText(TwoDigits(now.year));
    form_.hoursEdit.SetText(TwoDigits(now.hour));
    form_.minutesEdit.SetText(TwoDigits(now.minute));
    lock.Report(WriteClock(TwoDigits(now.second)));
}

Outcome ClockOperations::WriteClock(const std::string& pcSeconds) {
    const ClockLayout layout = ClockLayoutOf(conn_.moduleType());
    ClockInput input{ToWire(form_.yearEdit.caption), ToWire(form_.monthEdit.caption),
                     ToWire(form_.dayEdit.caption), ToWire(form_.hoursEdit.caption),
                     ToWire(form_.minutesEdit.caption), {}, {}};
    if (layout == ClockLayout::Adp) {
        input.weekday = ToWire(form_.adpWeekdayEdit.caption);
        input.extra = ToWire(form_.adpExtraEdit.caption);
    }
    const auto commands = ClockSetCommands(layout, input, pcSeconds);
    if (!commands) {
        form_.LogInfo("Fehlerhafte Datum-/Zeitvorgabe");
        return Outcome::BadInput;
    }

    std::string text;
    bool answered = false;
    if (layout == ClockLayout::Adp) {
        // The results are not checked; the read-back is taken as it stands,
        // "---" after a failed "q".
        std::string answer;
        for (const std::string& command : *commands) {
            const bool last = &command == &commands->back();
            answered = exchange_.ExchangeCommand(command, static_cast<uint16_t>(last ? SetAnswerLength(layout) : 6));
            answer = exchange_.LastAnswer();
            exchange_.DelayWithEvents(10);
        }
        text = ClockText(DecodeClockBlock(layout, answer, kEchoBlockOffset));
    } else {
        for (size_t i = 0; i < 2; ++i) {  // "o" and "p"
            exchange_.ExchangeCommand((*commands)[i], 6);
            exchange_.DelayWithEvents(10);
        }
        if (commands->size() == 3 &&
            exchange_.ExchangeCommand((*commands)[2], static_cast<uint16_t>(SetAnswerLength(layout)))) {
            answered = true;
            const std::string answer = exchange_.LastAnswer();
            text = ClockText(DecodeClockBlock(layout, answer, kEchoBlockOffset));
            if (layout == ClockLayout::Timekeeper)
                ShowTimekeeperBits(RegisterCharacters(layout, answer, kEchoBlockOffset));
        }
    }
    form_.LogInfo("Zeit & Datum gesetzt: " + FromWire(text));
    form_.clockDisplay.SetCaption(FromWire(text));
    // The read-back is the only sign that the clock took the time.
    return answered ? Outcome::Succeeded : Outcome::AdapterLost;
}

namespace {

struct RtcBox {
    Control* box;
    uint16_t bit;  // in the command word, CF on top
};

std::array<RtcBox, 12> RtcBoxes(MainForm& form) {
    return {{{&form.rtcTestCheck, 0x800}, {&form.rtc24hCheck, 0x400},  {&form.rtcStopCheck, 0x200},
             {&form.rtcResetCheck, 0x100},  {&form.rtcT1Check, 0x080},  {&form.rtcT0Check, 0x040},
             {&form.rtcInterruptCheck, 0x020},  {&form.rtcMaskCheck, 0x010},  {&form.rtcAdjustCheck, 0x008},
             {&form.rtcIrqCheck, 0x004}, {&form.rtcBusyCheck, 0x002}, {&form.rtcHoldCheck, 0x001}}};
}

}  // namespace

void ClockOperations::ShowRtcBits(const std::string& registers) {
    const uint16_t word = RtcWord(registers);
    for (const RtcBox& b : RtcBoxes(form_)) b.box->SetChecked((word & b.bit) != 0);
}

void ClockOperations::WriteRtcBits(BusyLock& lock) {
    lock.TakeControls();
    uint16_t word = 0;
    // "Busy" cannot be ticked by the user, but its shown state goes along.
    for (const RtcBox& b : RtcBoxes(form_))
        if (b.box->checked) word |= b.bit;
    exchange_.ExchangeCommand(RtcRegisterCommand(word), 24);
    const std::string answer = exchange_.LastAnswer();
    form_.clockDisplay.SetCaption(
        FromWire(ClockText(DecodeClockBlock(ClockLayout::Rtc, answer, kEchoBlockOffset))));
    const std::string registers = RegisterCharacters(ClockLayout::Rtc, answer, kEchoBlockOffset);
    ShowRtcBits(registers);
    form_.LogInfo("RTC-Register Bits gesetzt (" + FromWire(registers) + ")");
}

void ClockOperations::ShowTimekeeperBits(const std::string& characters) {
    const TimekeeperBits bits = DecodeTimekeeperBits(characters);
    form_.calibrationEdit.SetText(std::to_string(bits.calibration));
    form_.timekeeperStopCheck.SetChecked(bits.stop);
    form_.frequencyTestCheck.SetChecked(bits.frequencyTest);
    form_.timekeeperWeekdayEdit.SetText(std::to_string(bits.weekday));  // 0 becomes "1" by KeepWeekdayInRange
}

void ClockOperations::WriteTimekeeperBits(BusyLock& lock) {
    lock.TakeControls();
    const std::string command = TimekeeperRegisterCommand(
        CalibrationValue(form_.calibrationEdit.caption), WeekdayValue(form_.timekeeperWeekdayEdit.caption),
        form_.timekeeperStopCheck.checked, form_.frequencyTestCheck.checked);
    exchange_.ExchangeCommand(command, 22);
    const std::string answer = exchange_.LastAnswer();
    form_.clockDisplay.SetCaption(
        FromWire(ClockText(DecodeClockBlock(ClockLayout::Timekeeper, answer, kEchoBlockOffset))));
    const std::string characters = RegisterCharacters(ClockLayout::Timekeeper, answer, kEchoBlockOffset);
    ShowTimekeeperBits(characters);
    form_.LogInfo("Timekeeper-Register Bits gesetzt (" + FromWire(characters) + ")");
}

}  // namespace qvd
