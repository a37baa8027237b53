#include "core/serial/WireTrace.h"

#include <cstdlib>

namespace qvd {

std::unique_ptr<WireTrace> WireTrace::OpenFile(const std::string& path, Clock clock) {
    std::FILE* file = std::fopen(path.c_str(), "a");
    if (!file) return nullptr;
    return std::make_unique<WireTrace>(file, std::move(clock));
}

std::unique_ptr<WireTrace> WireTrace::FromEnvironment(Clock clock) {
    const char* path = std::getenv("QVD_PC_TRACE");
    if (!path || !*path) return nullptr;
    return OpenFile(path, std::move(clock));
}

WireTrace::~WireTrace() {
    if (file_) std::fclose(file_);
}

std::string WireTrace::FormatLine(uint32_t ms, const char* direction, const std::string& bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    char head[48];
    std::snprintf(head, sizeof head, "%10u ms %s %5zu |", static_cast<unsigned>(ms), direction,
                  bytes.size());
    std::string line = head;
    line.reserve(line.size() + bytes.size() * 4 + 4);
    for (unsigned char c : bytes) {
        line += ' ';
        line += kDigits[c >> 4];
        line += kDigits[c & 0xF];
    }
    line += " | ";
    for (unsigned char c : bytes) line += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '.';
    line += '\n';
    return line;
}

void WireTrace::Bytes(const char* direction, const std::string& bytes) {
    if (bytes.empty()) return;
    const std::string line = FormatLine(clock_(), direction, bytes);
    std::fwrite(line.data(), 1, line.size(), file_);
    std::fflush(file_);  // the trace must survive a crash
}

void WireTrace::Note(const std::string& text) {
    std::fprintf(file_, "%10u ms -- %s\n", static_cast<unsigned>(clock_()), text.c_str());
    std::fflush(file_);
}

}  // namespace qvd
