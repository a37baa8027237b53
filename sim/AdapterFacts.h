#pragma once
// What the QVD adapter is, as the test side knows it: the memory of each
// module type, the clock layouts, the status answer, the hex dump and the
// line rate. The virtual adapter serves these; tests, fuzzing and benchmarks
// include them, the tools read them from `qvd-sim --facts`. The program keeps
// a table of its own (core/wire/ModuleProfile), so that each checks the other.
#include <cstddef>
#include <cstdint>
#include <string>

namespace qvd::sim {

inline constexpr int kBaud = 57600;
inline constexpr int kLineBytesPerSecond = kBaud / 10;  // a start and a stop bit to each byte

// Milliseconds the line needs for n bytes, rounded up.
inline constexpr uint32_t WireMs(size_t n) {
    return static_cast<uint32_t>((n * 1000 + kLineBytesPerSecond - 1) / kLineBytesPerSecond);
}

enum class ClockLayout : uint8_t { None = 0, Rtc = 1, Timekeeper = 2, Adp = 3 };

struct ModuleFacts {
    size_t ramBytes = 0, epromBytes = 0;  // 0: no memory of its own
    size_t cellBytes = 1;                 // 2 on BW modules, which count their memory in words
    ClockLayout clock = ClockLayout::None;
};

// The type the adapter reports once switched to the adp module ("a0001").
inline constexpr uint8_t kAdpType = 8;

inline constexpr ModuleFacts ModuleOf(uint8_t type) {
    switch (type) {
        case 1: return {65536, 524288, 2, ClockLayout::Rtc};          // BW 1
        case 2: return {8184, 524288, 1, ClockLayout::Timekeeper};    // NSM 25.x
        case 3: return {8184, 262144, 1, ClockLayout::Timekeeper};    // NSM 25
        case 4: return {131072, 1048576, 2, ClockLayout::Rtc};        // BW 2
        case 5: return {524288, 1048576, 2, ClockLayout::Rtc};        // BW 3
        case kAdpType: return {0, 0, 1, ClockLayout::Adp};
        default: return {};
    }
}

// Upper-case hex of the low `digits` digits of value.
inline std::string UpperHex(uint32_t value, int digits) {
    std::string out(static_cast<size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4) out[static_cast<size_t>(i)] = "0123456789ABCDEF"[value & 0xF];
    return out;
}

// The 16-bit byte sum the module gives for memory and images.
inline uint16_t ByteSum16(const std::string& bytes, size_t from = 0, size_t to = std::string::npos) {
    unsigned sum = 0;
    for (size_t i = from; i < to && i < bytes.size(); ++i) sum += static_cast<unsigned char>(bytes[i]);
    return static_cast<uint16_t>(sum);
}

// The answer to a status poll ("r"): status code, type digit, the sum of the
// last stream or image, eight zeros: "FF1-0000-00000000\r".
inline constexpr size_t kStatusAnswerBytes = 18;
inline constexpr size_t kStatusSumAt = 4;  // the sum's first byte, counted from 0
inline std::string StatusAnswer(const std::string& code, uint8_t type, const std::string& sum) {
    return (code + "  ").substr(0, 2) + std::to_string(type % 10) + "-" + sum.substr(0, 4) + "-00000000\r";
}
inline std::string StatusAnswer(const std::string& code, uint8_t type, uint16_t sum) {
    return StatusAnswer(code, type, UpperHex(sum, 4));
}

// Memory in text form ("d0001"): lines of 16 cells, each led by the address
// of its first cell (counted in cells) and closed by a lone CR; a word cell
// is four digits, high byte first: "000010: 1A2B 3C4D ...\r".
inline constexpr size_t kDumpCellsPerLine = 16;
inline constexpr int kDumpAddressDigits = 6;
inline constexpr size_t HexDumpBytes(size_t cells, size_t cellBytes) {
    const size_t lines = (cells + kDumpCellsPerLine - 1) / kDumpCellsPerLine;
    return cells * (2 * cellBytes + 1) + lines * (kDumpAddressDigits + 2);
}
inline std::string HexDump(const std::string& memory, size_t firstCell, size_t endCell, size_t cellBytes) {
    if (endCell <= firstCell) return {};
    static constexpr char kDigits[] = "0123456789ABCDEF";
    // Written in place: a whole EPROM is megabytes of text.
    std::string text(HexDumpBytes(endCell - firstCell, cellBytes), '\0');
    char* out = text.data();
    for (size_t cell = firstCell; cell < endCell; ++cell) {
        const size_t column = (cell - firstCell) % kDumpCellsPerLine;
        if (column == 0) {
            for (int shift = 4 * (kDumpAddressDigits - 1); shift >= 0; shift -= 4) *out++ = kDigits[cell >> shift & 0xF];
            *out++ = ':';
        }
        *out++ = ' ';
        for (size_t b = 0; b < cellBytes; ++b) {
            const auto byte = static_cast<unsigned char>(memory[cell * cellBytes + b]);
            *out++ = kDigits[byte >> 4];
            *out++ = kDigits[byte & 0xF];
        }
        if (column == kDumpCellsPerLine - 1 || cell + 1 == endCell) *out++ = '\r';
    }
    return text;
}

}  // namespace qvd::sim
