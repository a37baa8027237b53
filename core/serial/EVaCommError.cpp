#include "core/serial/EVaCommError.h"

#include <cstring>

namespace qvd::comm_errors {

static std::string SystemMessage(int err) {
    char buffer[256];
    // GNU strerror_r may return a static string instead of filling the buffer.
    return strerror_r(err, buffer, sizeof buffer);
}

static std::string CodeAndMessage(const char* prefix, int err) {
    return std::string(prefix) + " (" + std::to_string(err) + "), " + SystemMessage(err);
}

std::string PortOpen() { return "Can't perform this operation while port is open"; }
std::string DeviceNotFound(const std::string& device) {
    return "Specified device not found (" + device + ").";
}
std::string CantOpen(const std::string& device, int err) {
    return "Can't open specified device " + device + " (Error " + std::to_string(err) + ", " +
           SystemMessage(err) + ")";
}
std::string WritingDcb(int err) { return CodeAndMessage("Error writing dcb", err); }
std::string InitBuffers(int err) { return CodeAndMessage("Error initializing buffers", err); }
std::string SettingEventMask(int err) { return CodeAndMessage(" Error setting EventMask", err); }
std::string WriteError(int err) { return CodeAndMessage("Write error", err); }
std::string ReadError(int err) { return CodeAndMessage("Read error", err); }
std::string Statistics(int err) { return CodeAndMessage("Error retrieving statistics", err); }

}  // namespace qvd::comm_errors
