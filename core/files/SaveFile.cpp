#include "core/files/SaveFile.h"

#include "core/files/FileKind.h"
#include "core/files/FreshFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace qvd {

namespace {

std::FILE* StreamOf(int fd) {
    std::FILE* stream = ::fdopen(fd, "wb");
    if (!stream) ::close(fd);
    return stream;
}

// The file itself when the chosen name is a link to it, so that the
// fresh file lands in its folder and the link survives the replacement.
std::string ResolvedPath(const std::string& chosen) {
    char resolved[PATH_MAX];
    return ::realpath(chosen.c_str(), resolved) ? std::string(resolved) : chosen;
}

}  // namespace

SaveFile::SaveFile(std::FILE* stream, std::string written, std::string replaced)
    : stream_(stream), written_(std::move(written)), replaced_(std::move(replaced)) {}

SaveFile::SaveFile(SaveFile&& other) noexcept
    : stream_(std::exchange(other.stream_, nullptr)),
      written_(std::move(other.written_)),
      replaced_(std::move(other.replaced_)),
      finished_(std::exchange(other.finished_, true)) {}

SaveFile::~SaveFile() {
    if (!finished_) Abandon();
}

std::optional<SaveFile> SaveFile::Create(const std::string& chosen) {
    switch (KindOfFile(chosen)) {
    case FileKind::Special:
        return std::nullopt;
    case FileKind::Missing:
        if (const int fd = ::open(chosen.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666); fd >= 0) {
            std::FILE* stream = StreamOf(fd);
            if (!stream) return std::nullopt;
            return SaveFile(stream, chosen, "");
        }
        // Made meanwhile (or a dangling link): only a regular file is replaced.
        if (errno != EEXIST || KindOfFile(chosen) != FileKind::Regular) return std::nullopt;
        [[fallthrough]];
    case FileKind::Regular: {
        const std::string target = ResolvedPath(chosen);
        struct stat old {};
        if (::stat(target.c_str(), &old) != 0) return std::nullopt;
        FreshFile fresh = CreateFreshFileBeside(target, ".part-");
        if (fresh.fd < 0) return std::nullopt;
        ::fchmod(fresh.fd, old.st_mode & 0777);  // the backup keeps who may read it
        std::FILE* stream = StreamOf(fresh.fd);
        if (!stream) {
            ::unlink(fresh.path.c_str());
            return std::nullopt;
        }
        return SaveFile(stream, fresh.path, target);
    }
    }
    return std::nullopt;
}

bool SaveFile::Commit() {
    if (finished_ || !stream_) return false;
    std::FILE* stream = std::exchange(stream_, nullptr);
    bool whole = std::fflush(stream) == 0 && ::fsync(::fileno(stream)) == 0;
    whole = std::fclose(stream) == 0 && whole;
    if (!whole) return false;
    if (!replaced_.empty()) {
        if (std::rename(written_.c_str(), replaced_.c_str()) != 0) return false;
        written_ = replaced_;
    }
    finished_ = true;
    return true;
}

std::string SaveFile::Abandon() {
    if (stream_) std::fclose(std::exchange(stream_, nullptr));
    if (!finished_ && !replaced_.empty()) {
        const std::string kept = RenameWithoutReplacing(written_, replaced_ + ".unvollständig");
        if (!kept.empty()) written_ = kept;
    }
    finished_ = true;
    return written_;
}

}  // namespace qvd
