#include "core/wire/ModuleProfile.h"

namespace qvd {

namespace {

constexpr ModuleProfile kProfiles[] = {
    {.type = 1, .family = ModuleFamily::Bw,
     .statusName = "BW Modul", .recognitionLine = "BW-Modul erkannt",
     .ramLimitCaption = "max. RAM-Adr.: 008000h", .epromLimitCaption = "max. EPROM-Adr.: 040000h",
     .ramImageSize = 65536, .epromImageSize = 524288,
     .cellDigits = 4, .cellAddressCeiling = 0x007FFF,
     .clock = ClockLayout::Rtc, .registers = RegisterGroup::Rtc, .offers = SearchOffers::Nothing,
     .ramChecksumWaitMs = 4500, .epromChecksumWaitMs = 20000, .ramClearWaitMs = 7000,
     .switchAdpOffAtClose = false},
    {.type = 2, .family = ModuleFamily::Nsm,
     .statusName = "NSM Modul 25.x", .recognitionLine = "NSM-Modul-25.x erkannt",
     .ramLimitCaption = "max. RAM-Adr.: 001FF8h", .epromLimitCaption = "max. EPROM-Adr.: 080000h",
     .ramImageSize = 8184, .epromImageSize = 524288,
     .cellDigits = 2, .cellAddressCeiling = 0x001FF7,
     .clock = ClockLayout::Timekeeper, .registers = RegisterGroup::Timekeeper, .offers = SearchOffers::JumperHelp,
     .ramChecksumWaitMs = 4500, .epromChecksumWaitMs = 36000, .ramClearWaitMs = 0,
     .switchAdpOffAtClose = false},
    {.type = 3, .family = ModuleFamily::Nsm,
     .statusName = "NSM Modul 25", .recognitionLine = "NSM-Modul-25 erkannt",
     .ramLimitCaption = "max. RAM-Adr.: 001FF8h", .epromLimitCaption = "max. EPROM-Adr.: 040000h",
     .ramImageSize = 8184, .epromImageSize = 262144,
     .cellDigits = 2, .cellAddressCeiling = 0x001FF7,
     .clock = ClockLayout::Timekeeper, .registers = RegisterGroup::Timekeeper, .offers = SearchOffers::AdpSwitch,
     .ramChecksumWaitMs = 4500, .epromChecksumWaitMs = 20000, .ramClearWaitMs = 0,
     .switchAdpOffAtClose = false},
    {.type = 4, .family = ModuleFamily::Bw,
     .statusName = "BW Modul 2", .recognitionLine = "BW-Modul 2 erkannt",
     .ramLimitCaption = "max. RAM-Adr.: 010000h", .epromLimitCaption = "max. EPROM-Adr.: 080000h",
     .ramImageSize = 131072, .epromImageSize = 1048576,
     .cellDigits = 4, .cellAddressCeiling = 0x00FFFF,
     .clock = ClockLayout::Rtc, .registers = RegisterGroup::Rtc, .offers = SearchOffers::EpromSplit,
     .ramChecksumWaitMs = 9000, .epromChecksumWaitMs = 42000, .ramClearWaitMs = 10000,
     .switchAdpOffAtClose = false},
    {.type = 5, .family = ModuleFamily::Bw,
     .statusName = "BW Modul 3", .recognitionLine = "BW-Modul 3 erkannt",
     .ramLimitCaption = "max. RAM-Adr.: 040000h", .epromLimitCaption = "max. EPROM-Adr.: 080000h",
     .ramImageSize = 524288, .epromImageSize = 1048576,
     .cellDigits = 4, .cellAddressCeiling = 0x03FFFF,
     .clock = ClockLayout::Rtc, .registers = RegisterGroup::Rtc, .offers = SearchOffers::EpromSplit,
     .ramChecksumWaitMs = 20000, .epromChecksumWaitMs = 42000, .ramClearWaitMs = 40000,
     .switchAdpOffAtClose = false},
    // Reached through the NSM adapter. The search shows nothing for it and
    // reads no clock; the adp switch reads its clock. No image sizes, so
    // nothing of a transfer is checked.
    {.type = 8, .family = ModuleFamily::Adp,
     .statusName = "adp Modul", .recognitionLine = "adp-Modul angeschlossen",
     .ramLimitCaption = nullptr, .epromLimitCaption = nullptr,
     .ramImageSize = 0, .epromImageSize = 0,
     .cellDigits = 2, .cellAddressCeiling = 0,
     .clock = ClockLayout::Adp, .registers = RegisterGroup::None, .offers = SearchOffers::Nothing,
     .ramChecksumWaitMs = 0, .epromChecksumWaitMs = 0, .ramClearWaitMs = 0,
     .switchAdpOffAtClose = true},
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
