#include "core/serial/PortNames.h"

#include <cstdlib>

namespace qvd {

std::string DevicePathForPort(int portNum, const std::string& pattern) {
    if (!pattern.empty()) {
        std::string out;
        bool inserted = false;
        for (size_t i = 0; i < pattern.size(); ++i) {
            if (!inserted && pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 'd') {
                out += std::to_string(portNum);
                inserted = true;
                ++i;
            } else {
                out += pattern[i];
            }
        }
        if (!inserted) out += std::to_string(portNum);
        return out;
    }
    if (portNum >= 1 && portNum <= 4) return "/dev/ttyS" + std::to_string(portNum - 1);
    if (portNum >= 5 && portNum <= 12) return "/dev/ttyUSB" + std::to_string(portNum - 5);
    if (portNum >= 13 && portNum <= 16) return "/dev/ttyACM" + std::to_string(portNum - 13);
    return "/dev/ttyQVD" + std::to_string(portNum);
}

std::string PortPatternFromEnvironment() {
    const char* value = std::getenv("QVD_PC_PORTS");
    return value ? value : "";
}

}  // namespace qvd
