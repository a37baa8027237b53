#include "core/module/ModuleProfile.h"

namespace qvd {

namespace {

constexpr ModuleProfile kProfiles[] = {
    {1, "BW Modul", "BW-Modul erkannt", "max. RAM-Adr.: 008000h", "max. EPROM-Adr.: 040000h",
     true, 65536, 524288, 4, 4, 0x007FFF, ClockLayout::Rtc, 18, RegisterGroup::Rtc,
     4500, 20000, 7000, false},
    {2, "NSM Modul 25.x", "NSM-Modul-25.x erkannt", "max. RAM-Adr.: 001FF8h",
     "max. EPROM-Adr.: 080000h", false, 8184, 524288, 2, 2, 0x001FF7, ClockLayout::Timekeeper,
     16, RegisterGroup::Timekeeper, 4500, 36000, 0, false},
    {3, "NSM Modul 25", "NSM-Modul-25 erkannt", "max. RAM-Adr.: 001FF8h",
     "max. EPROM-Adr.: 040000h", false, 8184, 262144, 2, 2, 0x001FF7, ClockLayout::Timekeeper,
     16, RegisterGroup::Timekeeper, 4500, 20000, 0, false},
    {4, "BW Modul 2", "BW-Modul 2 erkannt", "max. RAM-Adr.: 010000h", "max. EPROM-Adr.: 080000h",
     true, 131072, 1048576, 4, 4, 0x00FFFF, ClockLayout::Rtc, 18, RegisterGroup::Rtc,
     9000, 42000, 10000, false},
    {5, "BW Modul 3", "BW-Modul 3 erkannt", "max. RAM-Adr.: 040000h", "max. EPROM-Adr.: 080000h",
     true, 524288, 1048576, 4, 4, 0x03FFFF, ClockLayout::Rtc, 18, RegisterGroup::Rtc,
     20000, 42000, 40000, false},
    // The adp module is reached through the NSM adapter; the search reads no
    // clock for it (the adp switch reads a 14-character block).
    {8, "adp Modul", "adp-Modul angeschlossen", nullptr, nullptr, false, 0, 0, 2, 0, 0,
     ClockLayout::Adp, 14, RegisterGroup::None, 0, 0, 0, true},
};

}  // namespace

const ModuleProfile* FindProfile(uint8_t type) {
    for (const auto& row : kProfiles)
        if (row.type == type) return &row;
    return nullptr;
}

ClockLayout ClockLayoutOf(uint8_t type) {
    const ModuleProfile* p = FindProfile(type);
    return p ? p->clock : ClockLayout::None;
}

}  // namespace qvd
