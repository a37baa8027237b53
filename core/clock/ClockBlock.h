#pragma once
// Clock blocks as the adapter sends them, per clock layout: the fields by
// position, the clock text, the invalid-time marker and the commands of the
// clock set. Everything works on wire bytes; nothing is range-checked,
// because the fields are BCD digits straight from the chip.
#include "core/wire/ModuleProfile.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace qvd {

// Answer position of a block's first character: "f" answers are the bare
// block, "q" and "k" answers carry six leading characters first.
inline constexpr size_t kReadBlockOffset = 1;
inline constexpr size_t kEchoBlockOffset = 7;

struct ClockFields {
    std::string hours, minutes, seconds, day, month, year;
    std::string weekday, extra;  // adp layout only
};

// Answer length of "f" for the layout (18, 16, 14), 0 for none.
size_t ReadAnswerLength(ClockLayout layout);
// Answer length of the set's "q" (24, 22, 20), 0 for none.
size_t SetAnswerLength(ClockLayout layout);

// Fields of the block that starts at answer position `offset`. Missing
// characters give short or empty fields.
ClockFields DecodeClockBlock(ClockLayout layout, const std::string& answer, size_t offset);

// "hh:mm:ss  dd.mm.20yy" from the fields as they stand, at most 20 bytes.
std::string ClockText(const ClockFields& fields);

// True when the block at answer position 1 carries "FFFFFF" where the
// layout puts its marker (RTC 13-18, Timekeeper and adp 3-8).
bool HasInvalidTimeMarker(ClockLayout layout, const std::string& answer);

// The register characters of the block at `offset`: RTC 1-3, Timekeeper
// 1, 2, 3, 9, 10; empty for the other layouts.
std::string RegisterCharacters(ClockLayout layout, const std::string& answer, size_t offset);

// What the user typed for a clock set, as wire bytes.
struct ClockInput {
    std::string year, month, day, hours, minutes;
    std::string weekday, extra;  // adp layout only
};

// The commands of a clock set, in sending order, or nothing when a field is
// not filled completely. RTC and Timekeeper: "o", "p", "q"; adp: "k00",
// "o", "p", "q"; no layout: "o" and "p" only (there is no "q" to expect).
std::optional<std::vector<std::string>> ClockSetCommands(ClockLayout layout, const ClockInput& input,
                                                         const std::string& pcSeconds);

}  // namespace qvd
