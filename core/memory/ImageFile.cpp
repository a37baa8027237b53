#include "core/memory/ImageFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qvd {

ImageFile ReadImageFile(const std::string& path, size_t maxBytes) {
    ImageFile result;
    // Without O_NONBLOCK a FIFO would hold the window until a writer came.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        result.error = ImageFileError::CannotOpen;
        return result;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        // A device or pipe is no image, and reading one may never end.
        ::close(fd);
        result.error = ImageFileError::CannotOpen;
        return result;
    }
    {
        if (static_cast<uint64_t>(info.st_size) > maxBytes) {
            ::close(fd);
            result.error = ImageFileError::TooLarge;
            return result;
        }
        result.bytes.reserve(static_cast<size_t>(info.st_size));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    // The ceiling holds while reading too: a file may grow after fstat.
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
