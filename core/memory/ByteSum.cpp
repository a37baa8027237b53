#include "core/memory/ByteSum.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <array>

namespace qvd {

uint16_t ByteSum(std::string_view bytes) {
    ByteSummer summer;
    summer.Add(bytes);
    return summer.Value();
}

void ByteSummer::Add(std::string_view chunk) {
    uint32_t sum = sum_;
    for (unsigned char b : chunk) sum += b;
    sum_ = sum;
}

std::optional<FileSum> SumFile(const std::string& path, uint64_t maxBytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    // On the stack: a fresh 64 KiB on the heap for every check is zeroed
    // and faulted in for nothing.
    std::array<char, 64 * 1024> block;
    ByteSummer summer;
    FileSum result;
    for (;;) {
        const ssize_t got = ::read(fd, block.data(), block.size());
        if (got < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0) break;
        summer.Add(std::string_view(block.data(), static_cast<size_t>(got)));
        result.size += static_cast<uint64_t>(got);
        if (result.size > maxBytes) {  // not the file that was written, or one without end
            ::close(fd);
            return std::nullopt;
        }
    }
    ::close(fd);
    result.sum = summer.Value();
    return result;
}

}  // namespace qvd
