#include "core/serial/PortNames.h"

#include <cstdlib>
#include <grp.h>
#include <sys/stat.h>

namespace qvd {

std::string DevicePathForPort(int portNum, const std::string& ports) {
    if (ports.empty()) {
        if (portNum >= 1 && portNum <= 4) return "/dev/ttyS" + std::to_string(portNum - 1);
        if (portNum >= 5 && portNum <= 12) return "/dev/ttyUSB" + std::to_string(portNum - 5);
        if (portNum >= 13 && portNum <= 16) return "/dev/ttyACM" + std::to_string(portNum - 13);
        return "/dev/ttyQVD" + std::to_string(portNum);
    }
    if (const size_t at = ports.find("%d"); at != std::string::npos)
        return std::string(ports).replace(at, 2, std::to_string(portNum));
    size_t start = 0;
    for (int n = 1;; ++n) {
        const size_t end = ports.find(',', start);
        if (n == portNum) return ports.substr(start, end == std::string::npos ? end : end - start);
        if (end == std::string::npos) return {};
        start = end + 1;
    }
}

std::string PortPatternFromEnvironment() {
    const char* value = std::getenv("QVD_PC_PORTS");
    return value ? value : "";
}

std::string PortGroupOf(const std::string& device) {
    struct stat info {};
    if (::stat(device.c_str(), &info) != 0) return "dialout";
    // Joining root's group, or one that may not both read and write the
    // port, would not help.
    if (info.st_gid == 0 || (info.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP)) return "dialout";
    const group* owner = ::getgrgid(info.st_gid);
    return owner && owner->gr_name && *owner->gr_name ? owner->gr_name : "dialout";
}

}  // namespace qvd
