#pragma once
// Everything that depends on the module type, in one table.
#include <cstdint>

namespace qvd {

// BW modules address RAM and EPROM in 16-bit words, the others in bytes.
enum class ModuleFamily { Bw, Nsm, Adp };
enum class ClockLayout { None, Rtc, Timekeeper, Adp };
enum class RegisterGroup { None, Rtc, Timekeeper };
// What the search switches on when it identifies the type.
enum class SearchOffers { Nothing, JumperHelp, AdpSwitch, EpromSplit };

struct ModuleProfile {
    uint8_t type;
    ModuleFamily family;
    const char* statusName;         // status bar panel 3
    const char* recognitionLine;    // log line on recognition
    const char* ramLimitCaption;    // "max. RAM-Adr.: ..."
    const char* epromLimitCaption;  // "max. EPROM-Adr.: ..."
    uint32_t ramImageSize;          // bytes; 0: not checked
    uint32_t epromImageSize;        // bytes; 0: not checked
    int cellDigits;                 // hex digits of one RAM cell
    uint32_t cellAddressCeiling;    // last address the arrows reach; 0: none
    ClockLayout clock;
    RegisterGroup registers;
    SearchOffers offers;
    uint32_t ramChecksumWaitMs;     // after "g0010"; 0: not sent
    uint32_t epromChecksumWaitMs;   // after "g0020"; 0: not sent
    uint32_t ramClearWaitMs;        // after "g0001"; 0: none
    bool switchAdpOffAtClose;       // "a0000" before the port closes
};

// The row for a type, or null for 0, 6, 7, 9 and anything else.
const ModuleProfile* FindProfile(uint8_t type);

// Family tests; false for types without a row.
bool IsBw(uint8_t type);
bool IsNsm(uint8_t type);

ClockLayout ClockLayoutOf(uint8_t type);

}  // namespace qvd
