#pragma once
// A trace of every byte on the port, for diagnosis in the field: one line
// per write or read with a millisecond time stamp, the direction, the bytes
// in hex and in printable form. Off unless a file is given.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace qvd {

class WireTrace {
public:
    using Clock = std::function<uint32_t()>;  // milliseconds

    // Appends to `path`; null when it cannot be opened.
    static std::unique_ptr<WireTrace> OpenFile(const std::string& path, Clock clock);
    // The file named by QVD_PC_TRACE, or null when the variable is unset.
    static std::unique_ptr<WireTrace> FromEnvironment(Clock clock);

    WireTrace(std::FILE* file, Clock clock) : file_(file), clock_(std::move(clock)) {}
    ~WireTrace();
    WireTrace(const WireTrace&) = delete;
    WireTrace& operator=(const WireTrace&) = delete;

    void Sent(const std::string& bytes) { Bytes("TX", bytes); }
    void Received(const std::string& bytes) { Bytes("RX", bytes); }
    void Note(const std::string& text);

    // "   1234 ms TX  2 | 72 0D | r." as written to the file.
    static std::string FormatLine(uint32_t ms, const char* direction, const std::string& bytes);

private:
    void Bytes(const char* direction, const std::string& bytes);

    std::FILE* file_;
    Clock clock_;
};

}  // namespace qvd
