#include "sim/PortLink.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace qvd::sim {

namespace fs = std::filesystem;

void PublishLink(const std::string& link, const std::string& target) {
    const fs::path path(link);
    std::error_code ec;
    if (path.has_parent_path()) {
        fs::create_directories(path.parent_path(), ec);
        if (ec) throw std::runtime_error(path.parent_path().string() + ": " + ec.message());
    }
    const fs::file_status status = fs::symlink_status(path, ec);
    if (fs::exists(status) && !fs::is_symlink(status))
        throw std::runtime_error(link + " existiert und ist kein symbolischer Link");
    // Make the new link beside it and rename it over the old one, so the
    // path never points nowhere.
    const fs::path temporary = path.string() + ".qvd-sim-new";
    fs::remove(temporary, ec);
    fs::create_symlink(target, temporary, ec);
    if (!ec) fs::rename(temporary, path, ec);
    if (ec) {
        const std::string reason = ec.message();
        fs::remove(temporary, ec);
        throw std::runtime_error(link + ": " + reason);
    }
}

void WithdrawLink(const std::string& link, const std::string& target) {
    std::error_code ec;
    const fs::path current = fs::read_symlink(link, ec);
    if (!ec && current == fs::path(target)) fs::remove(link, ec);
}

}  // namespace qvd::sim
