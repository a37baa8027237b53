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

// The component's error texts, each filled with the system's number and
// message where it takes one.
namespace comm_errors {
std::string PortOpen();
std::string DeviceNotFound(const std::string& device);
std::string CantOpen(const std::string& device, int err);
std::string WritingDcb(int err);
std::string InitBuffers(int err);
std::string SettingEventMask(int err);
std::string WriteError(int err);
std::string ReadError(int err);
std::string Statistics(int err);
}  // namespace comm_errors

}  // namespace qvd
