#pragma once
// Reading and writing a single RAM cell: field checks, the commands, the
// read answer, the arrow steps of the address and the value's label. BW
// cells are 16-bit words (four hex digits), the others bytes (two).
#include <cstdint>
#include <optional>
#include <string>

namespace qvd {

// 4 on BW modules, 2 on the others and on unknown types.
int CellDigitsOf(uint8_t moduleType);

// Exactly six hex digits.
bool CellAddressValid(const std::string& address);
// Exactly the type's number of hex digits.
bool CellValueValid(const std::string& value, uint8_t moduleType);

// Commands for a valid address and value: the address goes out in two
// parts, "o00" + its first two digits, then "p" + the last four.
std::string CellAddressHighCommand(const std::string& address);
std::string CellAddressLowCommand(const std::string& address);
// "m" + four digits on BW, "m00" + two digits on the others.
std::string CellWriteCommand(const std::string& value, uint8_t moduleType);

// The "c" answer: 15 characters in word form (value at 8-11, its two bytes
// as characters at 13-14), 12 in byte form (value at 8-9, character at 11).
// Short answers give short or empty fields.
struct CellReading {
    std::string value;       // hex digits as sent
    std::string characters;  // wire bytes
};
CellReading DecodeCellAnswer(const std::string& answer, uint8_t moduleType);

// True when the answer names the cell asked for. The adapter puts the six
// address digits among the answer's first seven characters (at 2-7 after a
// letter of its own, or at 1-6 before a separator); compared without regard
// to case. An answer cut short names no cell.
bool CellAnswerAddressMatches(const std::string& answer, const std::string& address);

// True when the answer's value digits equal the value field exactly.
bool CellReadBackMatches(const std::string& answer, const std::string& value,
                         uint8_t moduleType);

// The address one step up (+1) or down (-1), as at least six upper-case hex
// digits. Below zero gives FFFFFFFF; on types with an address ceiling
// anything above it becomes the ceiling, so up stops there and down from
// 000000 wraps to it. nullopt when the field is not a hex number.
std::optional<std::string> StepCellAddress(const std::string& address, int step,
                                           uint8_t moduleType);

// The value field as it is to stand: upper-cased.
std::string CellValueFieldText(const std::string& text);
// The value's characters as wire bytes: in word form, only for four hex
// digits, the character of the first two and that of the last two; in byte
// form the character of one or two hex digits. nullopt: leave the label.
std::optional<std::string> CellValueLabel(const std::string& text, uint8_t moduleType);

// Key filter of the address and value fields: hex digits and backspace
// pass, anything else becomes 0 (dropped).
char FilterHexKey(char key);

}  // namespace qvd
