#include "core/memory/RestorePlan.h"

#include "core/wire/ModuleProfile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qvd {

std::vector<size_t> RestoreBlockSizes(size_t imageSize, uint8_t moduleType) {
    const bool nsm = IsNsm(moduleType);
    std::vector<size_t> sizes;
    size_t covered = 0;
    for (;;) {
        const size_t next =
            nsm && sizes.size() >= kNsmFullBlockCount ? kNsmLateBlockSize : kRestoreBlockSize;
        if (imageSize - covered < next) break;
        sizes.push_back(next);
        covered += next;
    }
    return sizes;
}

bool RestoreImageSizeAccepted(size_t size, uint8_t moduleType) {
    const ModuleProfile* profile = FindProfile(moduleType);
    if (profile && profile->ramImageSize != 0) return size == profile->ramImageSize;
    if (size == 0) return false;
    size_t covered = 0;
    for (size_t block : RestoreBlockSizes(size, moduleType)) covered += block;
    return covered == size;
}

ImageFile ReadImageFile(const std::string& path, size_t maxBytes) {
    ImageFile result;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        result.error = ImageFileError::CannotOpen;
        return result;
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        if (static_cast<uint64_t>(info.st_size) > maxBytes) {
            ::close(fd);
            result.error = ImageFileError::TooLarge;
            return result;
        }
        result.bytes.reserve(static_cast<size_t>(info.st_size));
    }
    // The ceiling holds while reading too: a pipe has no size, and a file
    // may grow after fstat.
    char block[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(fd, block, sizeof block);
        if (got < 0) {
            if (errno == EINTR) continue;
            result.error = ImageFileError::CannotRead;
            break;
        }
        if (got == 0) break;
        result.bytes.append(block, static_cast<size_t>(got));
        if (result.bytes.size() > maxBytes) {
            result.error = ImageFileError::TooLarge;
            break;
        }
    }
    ::close(fd);
    if (!result.ok()) result.bytes.clear();
    return result;
}

}  // namespace qvd
