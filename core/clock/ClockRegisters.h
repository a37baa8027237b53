#pragma once
// The clock chips' control bits: how the register characters of a clock
// block read, the "k" command texts that write them back, and the range
// rules of the calibration and weekday fields.
#include <cstdint>
#include <optional>
#include <string>

namespace qvd {


// RTC: the characters CF, CE, CD as the 12-bit command word (CF on top).
// Each is one hex digit; a non-hex or missing character reads as 0.
uint16_t RtcWord(const std::string& registers);
// "k" + CF CE CD + "0".
std::string RtcRegisterCommand(uint16_t word);

struct TimekeeperBits {
    int calibration = 0;  // -31..31
    bool stop = false;
    bool frequencyTest = false;
    int weekday = 0;      // 0..7 as the chip reports it
};
// The five characters 1, 2, 3, 9, 10 of a Timekeeper block: control byte,
// high character of the seconds byte, day byte.
TimekeeperBits DecodeTimekeeperBits(const std::string& characters);
// "k" + control byte + day byte, two upper-case hex digits each. The Stop
// bit rides in the day byte although the chip reports it in the seconds.
std::string TimekeeperRegisterCommand(int calibration, int weekday, bool stop, bool frequencyTest);

// An optional minus followed by one or more digits; nothing else ("3-",
// "--5", "+1", "") is a whole number.
std::optional<long long> ParseWholeNumber(const std::string& text);

// The calibration field keeps "", "-" and whole numbers from -31 to 31.
bool CalibrationTextAllowed(const std::string& text);
// The weekday field keeps "" and whole numbers from 1 to 7.
bool WeekdayTextAllowed(const std::string& text);
// What the fields count as when written: "", "-" and anything not allowed
// count as calibration 0; "" and anything not allowed as weekday 1.
int CalibrationValue(const std::string& text);
int WeekdayValue(const std::string& text);

}  // namespace qvd
