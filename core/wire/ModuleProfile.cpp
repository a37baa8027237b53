#include "core/wire/ModuleProfile.h"

namespace qvd {

namespace {

constexpr ModuleProfile kProfiles[] = {
    {1, ModuleFamily::Bw, "BW Modul", "BW-Modul erkannt", "max. RAM-Adr.: 008000h",
     "max. EPROM-Adr.: 040000h", 65536, 524288, 4, 0x007FFF, ClockLayout::Rtc, RegisterGroup::Rtc,
     SearchOffers::Nothing, 4500, 20000, 7000, false},
    {2, ModuleFamily::Nsm, "NSM Modul 25.x", "NSM-Modul-25.x erkannt", "max. RAM-Adr.: 001FF8h",
     "max. EPROM-Adr.: 080000h", 8184, 524288, 2, 0x001FF7, ClockLayout::Timekeeper,
     RegisterGroup::Timekeeper, SearchOffers::JumperHelp, 4500, 36000, 0, false},
    {3, ModuleFamily::Nsm, "NSM Modul 25", "NSM-Modul-25 erkannt", "max. RAM-Adr.: 001FF8h",
     "max. EPROM-Adr.: 040000h", 8184, 262144, 2, 0x001FF7, ClockLayout::Timekeeper,
     RegisterGroup::Timekeeper, SearchOffers::AdpSwitch, 4500, 20000, 0, false},
    {4, ModuleFamily::Bw, "BW Modul 2", "BW-Modul 2 erkannt", "max. RAM-Adr.: 010000h",
     "max. EPROM-Adr.: 080000h", 131072, 1048576, 4, 0x00FFFF, ClockLayout::Rtc,
     RegisterGroup::Rtc, SearchOffers::EpromSplit, 9000, 42000, 10000, false},
    {5, ModuleFamily::Bw, "BW Modul 3", "BW-Modul 3 erkannt", "max. RAM-Adr.: 040000h",
     "max. EPROM-Adr.: 080000h", 524288, 1048576, 4, 0x03FFFF, ClockLayout::Rtc,
     RegisterGroup::Rtc, SearchOffers::EpromSplit, 20000, 42000, 40000, false},
    // Reached through the NSM adapter. The search shows nothing for it and
    // reads no clock; the adp switch reads its clock. No image sizes, so
    // nothing of a transfer is checked.
    {8, ModuleFamily::Adp, "adp Modul", "adp-Modul angeschlossen", nullptr, nullptr, 0, 0, 2, 0,
     ClockLayout::Adp, RegisterGroup::None, SearchOffers::Nothing, 0, 0, 0, true},
};

}  // namespace

const ModuleProfile* FindProfile(uint8_t type) {
    for (const auto& row : kProfiles)
        if (row.type == type) return &row;
    return nullptr;
}

bool IsBw(uint8_t type) {
    const ModuleProfile* p = FindProfile(type);
    return p && p->family == ModuleFamily::Bw;
}

bool IsNsm(uint8_t type) {
    const ModuleProfile* p = FindProfile(type);
    return p && p->family == ModuleFamily::Nsm;
}

ClockLayout ClockLayoutOf(uint8_t type) {
    const ModuleProfile* p = FindProfile(type);
    return p ? p->clock : ClockLayout::None;
}

}  // namespace qvd
