#pragma once
// Everything that depends on the module type, in one table.
#include <cstdint>

namespace qvd {

enum class ModuleType : uint8_t { None = 0, Bw1 = 1, Nsm25x = 2, Nsm25 = 3, Bw2 = 4, Bw3 = 5, Adp = 8 };

enum class ClockLayout { None, Rtc, Timekeeper, Adp };
enum class RegisterGroup { None, Rtc, Timekeeper };

struct ModuleProfile {
    uint8_t type;
    const char* statusName;       // status bar panel 3
    const char* recognitionLine;  // log line on recognition
    const char* ramLimitCaption;  // Label13; null: keep what is shown
    const char* epromLimitCaption;  // Label14; null: keep
    bool wordAddressed;           // RAM and EPROM addressed in 16-bit words
    uint32_t ramImageSize;        // bytes; 0: not checked
    uint32_t epromImageSize;      // bytes; 0: not checked
    int cellDigits;               // hex digits of one RAM cell
    int cellMaxLength;            // Edit11's maximum length set by the search; 0: keep
    uint32_t cellAddressCeiling;  // last address the arrows reach; 0: none
    ClockLayout clock;
    int clockAnswerLength;        // "f"
    RegisterGroup registers;
    uint32_t ramChecksumWaitMs;   // after "g0010"; 0: not sent
    uint32_t epromChecksumWaitMs; // after "g0020"; 0: not sent
    uint32_t ramClearWaitMs;      // after "g0001"; 0: none
    bool switchAdpOffAtClose;     // "a0000" before the port closes
};

// The row for a type, or null for 0, 6, 7, 9 and anything else.
const ModuleProfile* FindProfile(uint8_t type);

inline bool IsBw(uint8_t type) { return type == 1 || type == 4 || type == 5; }
inline bool IsNsm(uint8_t type) { return type == 2 || type == 3; }

ClockLayout ClockLayoutOf(uint8_t type);

}  // namespace qvd
