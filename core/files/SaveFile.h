#pragma once
// A save that keeps the previous file until the new one is whole. When the
// chosen file exists (often the last good backup of a module), the bytes go
// to a fresh file beside it, which replaces it only on Commit(). A failed
// save leaves the old file as it was and keeps what arrived beside it as
// NAME.unvollständig. A new name is written straight, and keeps what arrived
// on failure.
#include <cstdio>
#include <optional>
#include <string>

namespace qvd {

class SaveFile {
public:
    // Nullopt when nothing can be written there: the chosen path is no
    // regular file (a FIFO, device or folder), or no file can be created.
    // A link to a file is followed: the file is replaced, the link stays.
    static std::optional<SaveFile> Create(const std::string& chosen);

    SaveFile(SaveFile&& other) noexcept;
    SaveFile(const SaveFile&) = delete;
    SaveFile& operator=(const SaveFile&) = delete;
    SaveFile& operator=(SaveFile&&) = delete;
    ~SaveFile();  // abandons unless committed

    std::FILE* stream() { return stream_; }  // null once committed or abandoned
    // Where the bytes go: the chosen name, or the fresh file beside it;
    // after a good Commit, the file that holds them.
    const std::string& writtenPath() const { return written_; }

    // Flushes, syncs and closes, then puts the file in place. False when the
    // data did not all reach the disk or could not be put in place: the
    // chosen file is then as before (a new name holds what arrived), and
    // Abandon() tells where the data lies.
    bool Commit();
    // Closes without putting anything in place; the path where the
    // incomplete data now lies, for the log and the box.
    std::string Abandon();

private:
    SaveFile(std::FILE* stream, std::string written, std::string replaced);

    std::FILE* stream_ = nullptr;
    std::string written_;
    std::string replaced_;  // the existing file to replace; empty for a new name
    bool finished_ = false;
};

}  // namespace qvd
