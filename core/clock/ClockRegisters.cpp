#include "core/clock/ClockRegisters.h"

#include "core/wire/AnswerFields.h"
#include "core/wire/Hex.h"

#include <charconv>
#include <cstdio>

namespace qvd {

namespace {

// A field that is no hex number counts as 0, as the chip's cleared bits do.
unsigned HexValue(const std::string& text) { return static_cast<unsigned>(ParseHex(text, 4).value_or(0)); }

}  // namespace

uint16_t RtcWord(const std::string& registers) {
    uint16_t word = 0;
    for (size_t pos = 1; pos <= 3; ++pos)
        word = static_cast<uint16_t>(word << 4 | HexValue(CharAt(registers, pos)));
    return word;
}

std::string RtcRegisterCommand(uint16_t word) {
    return "k" + FormatHex4(word & 0x0FFF).substr(1) + "0";
}

TimekeeperBits DecodeTimekeeperBits(const std::string& characters) {
    TimekeeperBits bits;
    const unsigned control = HexValue(Field(characters, 1, 2));
    const int magnitude = static_cast<int>(control & 0x1F);
    bits.calibration = control & 0x20 ? -magnitude : magnitude;
    bits.stop = (HexValue(CharAt(characters, 3)) & 0x8) != 0;
    const unsigned day = HexValue(Field(characters, 4, 2));
    bits.frequencyTest = (day & 0x40) != 0;
    bits.weekday = static_cast<int>(day & 7);
    return bits;
}

std::string TimekeeperRegisterCommand(int calibration, int weekday, bool stop, bool frequencyTest) {
    const unsigned control = calibration < 0 ? 0x20u | static_cast<unsigned>(-calibration & 0x1F)
                                             : static_cast<unsigned>(calibration & 0x1F);
    unsigned day = static_cast<unsigned>(weekday & 7);
    if (stop) day |= 0x80;
    if (frequencyTest) day |= 0x40;
    return "k" + FormatHex2(control) + FormatHex2(day);
}

std::optional<long long> ParseWholeNumber(const std::string& text) {
    const size_t digitsFrom = !text.empty() && text[0] == '-' ? 1 : 0;
    if (text.size() == digitsFrom) return std::nullopt;
    for (size_t i = digitsFrom; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

bool CalibrationTextAllowed(const std::string& text) {
    if (text.empty() || text == "-") return true;
    const auto value = ParseWholeNumber(text);
    return value && *value >= -31 && *value <= 31;
}

bool WeekdayTextAllowed(const std::string& text) {
    if (text.empty()) return true;
    const auto value = ParseWholeNumber(text);
    return value && *value >= 1 && *value <= 7;
}

int CalibrationValue(const std::string& text) {
    if (!CalibrationTextAllowed(text) || text.empty() || text == "-") return 0;
    return static_cast<int>(*ParseWholeNumber(text));
}

int WeekdayValue(const std::string& text) {
    if (!WeekdayTextAllowed(text) || text.empty()) return 1;
    return static_cast<int>(*ParseWholeNumber(text));
}

}  // namespace qvd
