#include "core/files/FileKind.h"

#include <cerrno>
#include <sys/stat.h>

namespace qvd {

FileKind KindOfFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) return S_ISREG(info.st_mode) ? FileKind::Regular : FileKind::Special;
    // ENOENT also for a dangling link: nothing there to read or to overwrite.
    return errno == ENOENT ? FileKind::Missing : FileKind::Special;
}

}  // namespace qvd
