#pragma once
// One whole session of QVD-PC on virtual time against the scripted adapter:
// start-up, enumeration, search, polls, clock read and set, RAM save (and
// EPROM save), restore, full and range view, cell read and write, EPROM
// split, adp switch, error clearing, status file, close. Every step has a
// cap on its virtual time; what the program reports as a success is checked
// against the bytes the adapter really sent and took.
//
// Input: a header of kHeaderSize bytes (what the user does, see Header in
// SessionHarness.cpp), then the adapter's script (see SessionDevice.h).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace qvd::fuzz {

inline constexpr size_t kHeaderSize = 32;

// For making seeds: the record for a write once the script has run out.
// It must never return an empty record (use a silent one), so that the
// input played back later reads the very same records.
using RecordPolicy = std::function<std::string(const std::string& written, bool imageBytes)>;

// Plays the session the input describes; aborts on any fault found. Returns
// the input as finally read: the header and the whole script, including
// what the policy added. `transcript`, when given, receives every write and
// answer of the session, so that a replay can be compared with its recording.
std::string PlaySession(const uint8_t* data, size_t size, RecordPolicy policy = nullptr,
                        std::string* transcript = nullptr);

// Header byte offsets (the seed maker writes them).
namespace header {
inline constexpr size_t kSetup = 0;         // bits 0-1 adapter COM-1, bit 2 tick wrap soon, bits 3-4 box reaction,
                                            // bit 5 extra functions, bit 6 "PCzeit", bit 7 register bits
inline constexpr size_t kModule = 1;        // bits 0-3 module type the adapter reports
                                            // (3,1,2,4,3,2,8,0, 3,2,3,2,5,3,2,0)
inline constexpr size_t kPorts1to4 = 2;     // two bits a port: absent, silent, busy, refusing
inline constexpr size_t kPorts5to8 = 3;
inline constexpr size_t kPollTime = 4;      // * 100 ms of polls after the search
inline constexpr size_t kFlow = 5;          // bits 0-3 idle after each step (* 250 ms), bits 4-5 new searches
                                            // allowed, bit 6 close at the end, bit 7 disconnect at the end
inline constexpr size_t kClockFields = 6;   // bits 0-1: set fixed, from kClockDigits, one field short, as read
inline constexpr size_t kClockDigits = 7;
inline constexpr size_t kRamSave = 8;       // file choice
inline constexpr size_t kEpromSave = 9;     // bits 0-2 file choice, bits 3 and 4 do it
inline constexpr size_t kRestore = 10;      // bits 0-1 (3: answer No), bits 2-4 file choice, bits 5-7 image size
inline constexpr size_t kImageSeed = 11;
inline constexpr size_t kFullView = 12;     // bit 0 EPROM, bits 1-3 view save choice
inline constexpr size_t kRangeStart = 13;   // bits 0-4 start, bit 7 EPROM
inline constexpr size_t kRangeLength = 14;  // bits 0-3
inline constexpr size_t kRangeFlags = 15;   // bit 0 start field one digit short
inline constexpr size_t kCellAddress = 16;  // 16-17
inline constexpr size_t kCellValue = 19;    // 19-20
inline constexpr size_t kCellFlags = 21;    // bit 0 address short, bit 1 value short
inline constexpr size_t kSplit = 22;        // bits 0-2 file choice, bits 3 and 4 do it
inline constexpr size_t kAdp = 23;          // bit 0 switch on, bit 1 and off again
inline constexpr size_t kClearErrors = 24;  // bit 0
inline constexpr size_t kStatusFile = 25;   // file choice
inline constexpr size_t kRegisterBits = 26; // 26-27
}  // namespace header

// File choices (low three bits): 0-2 and 7 the proper file, 3 cancel,
// 4 /dev/full, 5 a file in a missing folder, 6 a folder (for the split: a
// file of the wrong size).

}  // namespace qvd::fuzz
