#pragma once
#include <stdexcept>
#include <string>

namespace qvd {

// The serial component's only exception. Its texts are the component's own
// (English), filled with the system's error number and message.
class EVaCommError : public std::runtime_error {
public:
    explicit EVaCommError(const std::string& message, int code = 0)
        : std::runtime_error(message), code_(code) {}
    // The system's error number behind the message (0 when none).
    int Code() const { return code_; }

private:
    int code_;
};

namespace comm_errors {
std::string PortOpen();                                       // "Can't perform this operation while port is open"
std::string DeviceNotFound(const std::string& device);        // "Specified device not found (%s)."
std::string CantOpen(const std::string& device, int err);     // "Can't open specified device %s (Error %d, %s)"
std::string WritingDcb(int err);                              // "Error writing dcb (%d), %s"
std::string InitBuffers(int err);                             // "Error initializing buffers (%d), %s"
std::string SettingTimeouts(int err);                         // "Error setting timeouts (%d), %s"
std::string SettingEventMask(int err);                        // " Error setting EventMask (%d), %s"
std::string WriteError(int err);                              // "Write error (%d), %s"
std::string ReadError(int err);                               // "Read error (%d), %s"
std::string Statistics(int err);                              // "Error retrieving statistics (%d), %s"
}  // namespace comm_errors

}  // namespace qvd
