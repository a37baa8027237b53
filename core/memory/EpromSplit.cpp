#include "core/memory/EpromSplit.h"

#include "core/files/FileKind.h"
#include "core/files/FreshFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace qvd {

namespace {

constexpr size_t kBlock = 64 * 1024;  // of the word image; halves move kBlock / 2

std::string InsertBeforeEnd(const std::string& path, const char* mark) {
    const size_t slash = path.rfind('/');
    const size_t base = slash == std::string::npos ? 0 : slash + 1;
    const size_t baseLen = path.size() - base;
    const size_t at = base + (baseLen >= 4 ? baseLen - 4 : 0);
    return path.substr(0, at) + mark + path.substr(at);
}

// Whole count, or -1 on error; less than n only at the end of the file.
ssize_t ReadFull(int fd, char* data, size_t n) {
    size_t done = 0;
    while (done < n) {
        const ssize_t got = ::read(fd, data + done, n - done);
        if (got < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (got == 0) break;
        done += static_cast<size_t>(got);
    }
    return static_cast<ssize_t>(done);
}

bool WriteFull(int fd, const char* data, size_t n) {
    while (n > 0) {
        const ssize_t put = ::write(fd, data, n);
        if (put < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += put;
        n -= static_cast<size_t>(put);
    }
    return true;
}

class InputFile {
public:
    ~InputFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    // Opens a regular file and checks its size. Nothing else is opened; should
    // the path turn into a FIFO meanwhile, O_NONBLOCK keeps open from waiting.
    EpromFileStatus Open(const std::string& path, size_t size) {
        if (KindOfFile(path) != FileKind::Regular) return EpromFileStatus::CannotOpenInput;
        fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0) return EpromFileStatus::CannotOpenInput;
        struct stat info {};
        if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode))
            return EpromFileStatus::CannotOpenInput;
        return static_cast<uint64_t>(info.st_size) == size ? EpromFileStatus::Ok
                                                           : EpromFileStatus::WrongSize;
    }
    bool ReadExactly(char* data, size_t n) {
        return ReadFull(fd_, data, n) == static_cast<ssize_t>(n);
    }
    // True when nothing follows: a file that grew since Open is not taken.
    bool AtEnd() {
        char extra;
        return ReadFull(fd_, &extra, 1) == 0;
    }

private:
    int fd_ = -1;
};

// Written under a fresh name beside the target. Unless Keep() is reached,
// the destructor removes whatever this file put on disk, a committed target
// included, so a pair is only ever left whole.
class OutputFile {
public:
    explicit OutputFile(std::string target) : target_(std::move(target)) {}
    ~OutputFile() {
        if (fd_ >= 0) ::close(fd_);
        if (committed_ && !kept_) ::unlink(target_.c_str());
        else if (created_ && !committed_) ::unlink(temp_.c_str());
    }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    const std::string& target() const { return target_; }
    // A FIFO or device as target would be replaced by the rename.
    bool Create() {
        if (KindOfFile(target_) == FileKind::Special) return false;
        FreshFile fresh = CreateFreshFileBeside(target_, ".part-");
        fd_ = fresh.fd;
        temp_ = std::move(fresh.path);
        created_ = fd_ >= 0;
        return created_;
    }
    bool Write(const char* data, size_t n) { return WriteFull(fd_, data, n); }
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }
    bool Commit() {
        committed_ = std::rename(temp_.c_str(), target_.c_str()) == 0;
        return committed_;
    }
    void Keep() { kept_ = true; }

private:
    std::string target_, temp_;
    int fd_ = -1;
    bool created_ = false, committed_ = false, kept_ = false;
};

EpromFileResult Failure(EpromFileStatus status, const std::string& path) { return {status, path}; }

// Closes and renames all outputs; on failure their destructors clear up.
EpromFileResult Finish(std::vector<OutputFile*> outputs) {
    for (OutputFile* out : outputs)
        if (!out->Close()) return Failure(EpromFileStatus::WriteError, out->target());
    for (OutputFile* out : outputs)
        if (!out->Commit()) return Failure(EpromFileStatus::CannotCreateOutput, out->target());
    for (OutputFile* out : outputs) out->Keep();
    return {};
}

}  // namespace

bool ReadableWithSize(const std::string& path, size_t size) {
    return InputFile().Open(path, size) == EpromFileStatus::Ok;
}

std::string OddHalfPath(const std::string& imagePath) { return InsertBeforeEnd(imagePath, "_odd"); }
std::string EvenHalfPath(const std::string& imagePath) { return InsertBeforeEnd(imagePath, "_even"); }

EpromFileResult SplitEpromImage(const std::string& imagePath, const std::string& oddPath,
                                const std::string& evenPath) {
    InputFile in;
    if (const EpromFileStatus s = in.Open(imagePath, kEpromWordImageSize); s != EpromFileStatus::Ok)
        return Failure(s, imagePath);
    OutputFile odd(oddPath), even(evenPath);
    for (OutputFile* out : {&odd, &even})
        if (!out->Create()) return Failure(EpromFileStatus::CannotCreateOutput, out->target());

    std::vector<char> word(kBlock), low(kBlock / 2), high(kBlock / 2);
    for (size_t done = 0; done < kEpromWordImageSize; done += kBlock) {
        if (!in.ReadExactly(word.data(), kBlock)) return Failure(EpromFileStatus::ReadError, imagePath);
        for (size_t i = 0; i < kBlock / 2; ++i) {
            low[i] = word[2 * i];
            high[i] = word[2 * i + 1];
        }
        if (!odd.Write(low.data(), low.size())) return Failure(EpromFileStatus::WriteError, oddPath);
        if (!even.Write(high.data(), high.size()))
            return Failure(EpromFileStatus::WriteError, evenPath);
    }
    if (!in.AtEnd()) return Failure(EpromFileStatus::WrongSize, imagePath);
    return Finish({&odd, &even});
}

EpromFileResult JoinEpromImage(const std::string& oddPath, const std::string& evenPath,
                               const std::string& imagePath) {
    InputFile odd, even;
    if (const EpromFileStatus s = odd.Open(oddPath, kEpromHalfSize); s != EpromFileStatus::Ok)
        return Failure(s, oddPath);
    if (const EpromFileStatus s = even.Open(evenPath, kEpromHalfSize); s != EpromFileStatus::Ok)
        return Failure(s, evenPath);
    OutputFile out(imagePath);
    if (!out.Create()) return Failure(EpromFileStatus::CannotCreateOutput, imagePath);

    std::vector<char> word(kBlock), low(kBlock / 2), high(kBlock / 2);
    for (size_t done = 0; done < kEpromHalfSize; done += kBlock / 2) {
        if (!odd.ReadExactly(low.data(), low.size())) return Failure(EpromFileStatus::ReadError, oddPath);
        if (!even.ReadExactly(high.data(), high.size()))
            return Failure(EpromFileStatus::ReadError, evenPath);
        for (size_t i = 0; i < kBlock / 2; ++i) {
            word[2 * i] = low[i];
            word[2 * i + 1] = high[i];
        }
        if (!out.Write(word.data(), word.size())) return Failure(EpromFileStatus::WriteError, imagePath);
    }
    if (!odd.AtEnd()) return Failure(EpromFileStatus::WrongSize, oddPath);
    if (!even.AtEnd()) return Failure(EpromFileStatus::WrongSize, evenPath);
    return Finish({&out});
}

}  // namespace qvd
