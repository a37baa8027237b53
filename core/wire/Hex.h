#pragma once
// Hexadecimal text as the adapter reads and writes it.
#include <cstdint>
#include <string>

namespace qvd {

// Four upper-case hex digits, zero-padded: checksums in commands and messages.
std::string FormatHex4(uint16_t value);
// Two upper-case hex digits of the low byte.
std::string FormatHex2(unsigned value);
// 0..15 for a hex digit in either case, -1 for anything else.
int HexDigit(char c);
// True when text is non-empty and every character is a hex digit.
bool IsHexDigits(const std::string& text);

}  // namespace qvd
