#include "core/memory/CellAccess.h"

#include "core/wire/AnswerFields.h"
#include "core/wire/Hex.h"
#include "core/wire/ModuleProfile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace qvd {

namespace {

// Nullopt unless the text is a hex number that fits 32 bits.
std::optional<uint32_t> ParseHex32(const std::string& text) {
    const std::optional<uint64_t> value = ParseHex(text);
    if (!value || *value > 0xFFFFFFFFu) return std::nullopt;
    return static_cast<uint32_t>(*value);
}

char ByteOf(const std::string& hex) {
    return static_cast<char>(*ParseHex32(hex));
}

}  // namespace

int CellDigitsOf(uint8_t moduleType) {
    const ModuleProfile* profile = FindProfile(moduleType);
    return profile ? profile->cellDigits : 2;
}

bool CellAddressValid(const std::string& address) {
    return address.size() == 6 && IsHexDigits(address);
}

bool CellValueValid(const std::string& value, uint8_t moduleType) {
    return value.size() == static_cast<size_t>(CellDigitsOf(moduleType)) && IsHexDigits(value);
}

std::string CellAddressHighCommand(const std::string& address) {
    return "o00" + Field(address, 1, 2);
}

std::string CellAddressLowCommand(const std::string& address) { return "p" + Field(address, 3, 4); }

std::string CellWriteCommand(const std::string& value, uint8_t moduleType) {
    return (CellDigitsOf(moduleType) == 4 ? "m" : "m00") + value;
}

CellReading DecodeCellAnswer(const std::string& answer, uint8_t moduleType) {
    if (CellDigitsOf(moduleType) == 4) return {Field(answer, 8, 4), Field(answer, 13, 2)};
    return {Field(answer, 8, 2), Field(answer, 11, 1)};
}

bool CellAnswerAddressMatches(const std::string& answer, const std::string& address) {
    auto sameText = [](const std::string& a, const std::string& b) {
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                   return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
               });
    };
    if (address.size() != 6 || answer.size() < 7) return false;
    // The adapter's own letter before the digits may itself be a hex digit
    // ("c000010..."), so the later place wins when both read as hex.
    for (const size_t at : {size_t{1}, size_t{0}}) {
        const std::string digits = answer.substr(at, 6);
        if (IsHexDigits(digits)) return sameText(digits, address);
    }
    return false;
}

bool CellReadBackMatches(const std::string& answer, const std::string& value,
                         uint8_t moduleType) {
    return DecodeCellAnswer(answer, moduleType).value == value;
}

std::optional<std::string> StepCellAddress(const std::string& address, int step,
                                           uint8_t moduleType) {
    const std::optional<uint32_t> value = ParseHex32(address);
    if (!value) return std::nullopt;
    const int64_t next = static_cast<int64_t>(*value) + step;
    // Two's complement of a negative result, and 32-bit wrap above.
    uint32_t result = static_cast<uint32_t>(next);
    const ModuleProfile* profile = FindProfile(moduleType);
    if (profile && profile->cellAddressCeiling != 0 && result > profile->cellAddressCeiling)
        result = profile->cellAddressCeiling;
    char text[16];
    std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(result));
    return std::string(text);
}

std::string CellValueFieldText(const std::string& text) {
    std::string upper = text;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

std::optional<std::string> CellValueLabel(const std::string& text, uint8_t moduleType) {
    if (!IsHexDigits(text)) return std::nullopt;
    if (CellDigitsOf(moduleType) == 4) {
        if (text.size() != 4) return std::nullopt;
        return std::string{ByteOf(text.substr(0, 2)), ByteOf(text.substr(2, 2))};
    }
    if (text.size() > 2) return std::nullopt;
    return std::string(1, ByteOf(text));
}

char FilterHexKey(char key) { return key == '\b' || HexDigit(key) >= 0 ? key : '\0'; }

}  // namespace qvd
