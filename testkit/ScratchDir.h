#pragma once
// A fresh folder for one test, fuzz input or benchmark, removed with all in
// it, and whole-file reads and writes.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace qvd::test {

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline bool WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

class ScratchDir {
public:
    // Named `name`-XXXXXX under base.
    explicit ScratchDir(const std::string& name = "qvd-test", const std::filesystem::path& base = "/tmp") {
        std::string pattern = (base / (name + "-XXXXXX")).string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create a folder under " + base.string());
        path_ = pattern;
    }
    ~ScratchDir() {
        // Folders a test made unwritable must be opened again to be removed.
        namespace fs = std::filesystem;
        std::error_code ignored;
        for (auto it = fs::recursive_directory_iterator(path_, ignored); it != fs::recursive_directory_iterator(); it.increment(ignored))
            if (it->is_directory(ignored) && !it->is_symlink(ignored))
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    const std::filesystem::path& path() const { return path_; }

    // Writes a file into the folder; returns its path.
    std::string Write(const std::string& name, const std::string& bytes) const {
        WriteFile(path_ / name, bytes);
        return (path_ / name).string();
    }
    size_t EntryCount() const {
        using It = std::filesystem::directory_iterator;
        return static_cast<size_t>(std::distance(It(path_), It()));
    }

private:
    std::filesystem::path path_;
};

}  // namespace qvd::test
