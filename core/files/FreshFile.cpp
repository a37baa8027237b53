#include "core/files/FreshFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace qvd {

namespace {

constexpr int kAttempts = 100;

std::string RandomSuffix() {
    static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<size_t> pick(0, sizeof kChars - 2);
    std::string suffix(6, ' ');
    for (char& c : suffix) c = kChars[pick(random)];
    return suffix;
}

// 0, or why not; EEXIST when to is taken.
int MoveUnlessTaken(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return errno;
    // File systems without that rename (NFS among them) still refuse a hard
    // link onto a taken name.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return 0;
    }
    if (errno == EEXIST) return EEXIST;
    struct stat info {};  // no hard links either: look, then rename
    if (::lstat(to.c_str(), &info) == 0) return EEXIST;
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

}  // namespace

FreshFile CreateFreshFileBeside(const std::string& target, const std::string& mark) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::string path = target + mark + RandomSuffix();
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return {fd, std::move(path)};
        if (errno != EEXIST) break;
    }
    return {};
}

std::string RenameWithoutReplacing(const std::string& from, const std::string& wanted) {
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        std::string to = attempt == 1 ? wanted : wanted + "." + std::to_string(attempt);
        const int error = MoveUnlessTaken(from, to);
        if (error == 0) return to;
        if (error != EEXIST) break;
    }
    return {};
}

}  // namespace qvd
