#include "core/files/WholeFile.h"

#include "core/files/FileKind.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace qvd {

std::optional<std::string> WriteWholeFile(const std::string& path, const std::string& bytes) {
    if (KindOfFile(path) == FileKind::Special) return std::string("keine reguläre Datei");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return std::string(std::strerror(errno));
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int writeError = errno;
    const bool closed = std::fclose(file) == 0;
    if (written && closed) return std::nullopt;
    return std::string(std::strerror(written ? errno : writeError));
}

}  // namespace qvd
