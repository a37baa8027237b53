#pragma once
// The image checksum the adapter reports for RAM and EPROM: the sum of all
// bytes, kept to 16 bits.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qvd {

uint16_t ByteSum(std::string_view bytes);

// The same sum over a stream that arrives in pieces.
class ByteSummer {
public:
    void Add(std::string_view chunk);
    uint16_t Value() const { return static_cast<uint16_t>(sum_); }

private:
    // Wraps modulo 2^32, a multiple of 65536, so the low 16 bits stay right.
    uint32_t sum_ = 0;
};

struct FileSum {
    uint64_t size = 0;
    uint16_t sum = 0;
};

// Size and sum of a file, read in 64 KiB blocks; nullopt when it cannot be
// opened, a read fails (a directory, for one) or it holds more than maxBytes
// (a device such as /dev/zero never ends).
std::optional<FileSum> SumFile(const std::string& path, uint64_t maxBytes = UINT64_MAX);

}  // namespace qvd
