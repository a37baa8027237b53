#pragma once
// Comparing the module's RAM, as read, with an image file of the same size.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qvd {

struct RamComparison {
    size_t size = 0;         // bytes compared
    size_t differing = 0;    // bytes that differ
    size_t firstOffset = 0;  // byte offset of the first difference
    uint8_t ramByte = 0, fileByte = 0;  // the bytes there
    bool equal() const { return differing == 0; }
};

// nullopt when the sizes differ; the caller refuses that with its own
// size message.
std::optional<RamComparison> CompareRam(std::string_view ram, std::string_view file);

// "RAM und Datei sind gleich (N Byte)" or "RAM und Datei verschieden: N Byte
// abweichend, erste Abweichung bei Adresse XXXXXX (RAM: HH, Datei: HH)".
// The address is in the module's cell addressing: words on BW modules
// (offset / 2), bytes on the others.
std::string RamCompareText(const RamComparison& comparison, uint8_t moduleType);

}  // namespace qvd
