#include "core/memory/RamCompare.h"

#include "core/wire/Hex.h"
#include "core/wire/ModuleProfile.h"

#include <cstdio>

namespace qvd {

std::optional<RamComparison> CompareRam(std::string_view ram, std::string_view file) {
    if (ram.size() != file.size()) return std::nullopt;
    RamComparison result;
    result.size = ram.size();
    for (size_t i = 0; i < ram.size(); ++i) {
        if (ram[i] == file[i]) continue;
        if (result.differing++ == 0) {
            result.firstOffset = i;
            result.ramByte = static_cast<uint8_t>(ram[i]);
            result.fileByte = static_cast<uint8_t>(file[i]);
        }
    }
    return result;
}

std::string RamCompareText(const RamComparison& comparison, uint8_t moduleType) {
    if (comparison.equal())
        return "RAM und Datei sind gleich (" + std::to_string(comparison.size) + " Byte)";
    const size_t address = IsBw(moduleType) ? comparison.firstOffset / 2 : comparison.firstOffset;
    char hex[24];
    std::snprintf(hex, sizeof hex, "%06zX", address);
    return "RAM und Datei verschieden: " + std::to_string(comparison.differing) +
           " Byte abweichend, erste Abweichung bei Adresse " + hex +
           " (RAM: " + FormatHex2(comparison.ramByte) + ", Datei: " + FormatHex2(comparison.fileByte) +
           ")";
}

}  // namespace qvd
