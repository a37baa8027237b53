#pragma once
// Hexadecimal text as the adapter reads and writes it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qvd {

// Four upper-case hex digits, zero-padded: checksums in commands and messages.
std::string FormatHex4(uint16_t value);
// Two upper-case hex digits of the low byte.
std::string FormatHex2(unsigned value);
// 0..15 for a hex digit in either case, -1 for anything else.
int HexDigit(char c);
// True when text is non-empty and every character is a hex digit.
bool IsHexDigits(std::string_view text);
// The value of one to maxDigits hex digits (either case); nullopt for an
// empty text, anything else, or more digits.
std::optional<uint64_t> ParseHex(std::string_view text, size_t maxDigits = 16);

}  // namespace qvd
