#pragma once
// A fresh directory per test, removed with everything in it.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace qvd::testing {

class ScratchDir {
public:
    ScratchDir() : path_([] { char name[] = "/tmp/qvd-memory-XXXXXX"; return std::filesystem::path(::mkdtemp(name)); }()) {}
    ~ScratchDir() { std::error_code ignored; std::filesystem::remove_all(path_, ignored); }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

    std::string Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(*this / name, std::ios::binary) << bytes;
        return *this / name;
    }
    static std::string Read(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    size_t EntryCount() const {
        using It = std::filesystem::directory_iterator;
        return static_cast<size_t>(std::distance(It(path_), It()));
    }

private:
    std::filesystem::path path_;
};

}  // namespace qvd::testing
