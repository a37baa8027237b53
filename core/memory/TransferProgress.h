#pragma once
// Percent and text of a transfer's progress bar.
#include <cstdint>
#include <string>

namespace qvd {

// 57600 baud at 10 bits per byte.
inline constexpr uint32_t kLineBytesPerSecond = 5760;

struct TransferProgress {
    int percent = 0;  // 0..100
    std::string text;
};

// expected is the profile's image size. With it: "42 %  noch 1:23", the
// remaining time being what is left at the line rate, whole seconds cut;
// percent reaches 100 only when done reaches expected. Without it
// (expected 0): percent 0 and the byte count, "12345 Byte".
TransferProgress DescribeTransfer(uint64_t done, uint64_t expected,
                                  uint32_t bytesPerSecond = kLineBytesPerSecond);

}  // namespace qvd
