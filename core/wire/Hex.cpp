#include "core/wire/Hex.h"

namespace qvd {

namespace {
constexpr char kDigits[] = "0123456789ABCDEF";
}

std::string FormatHex4(uint16_t value) {
    return {kDigits[value >> 12 & 0xF], kDigits[value >> 8 & 0xF], kDigits[value >> 4 & 0xF],
            kDigits[value & 0xF]};
}

std::string FormatHex2(unsigned value) { return {kDigits[value >> 4 & 0xF], kDigits[value & 0xF]}; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool IsHexDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (HexDigit(c) < 0) return false;
    return true;
}

std::optional<uint64_t> ParseHex(std::string_view text, size_t maxDigits) {
    if (text.size() > maxDigits || text.size() > 16 || !IsHexDigits(text)) return std::nullopt;
    uint64_t value = 0;
    for (char c : text) value = value << 4 | static_cast<uint64_t>(HexDigit(c));
    return value;
}

}  // namespace qvd
