#pragma once
// The in-process serial link to the virtual adapter, on the virtual host's
// clock: bytes travel at the line rate both ways.
#include "core/host/VirtualHost.h"
#include "core/serial/SerialTransport.h"
#include "sim/QvdDevice.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace qvd::sim {

// The set of virtual COM devices of one test: present ports with or without
// an adapter, and ports held by another program.
class VirtualPorts {
public:
    explicit VirtualPorts(VirtualHost& host) : host_(host) {}

    // A port with the virtual adapter behind it.
    QvdDevice& AddAdapter(const std::string& device, DeviceConfig config = {});
    // A port that exists but where nothing answers.
    void AddSilentPort(const std::string& device);
    // A port another program holds open.
    void AddBusyPort(const std::string& device);
    // A port that exists but refuses to be opened with this error number
    // (EACCES: the user lacks the device's group).
    void AddRefusingPort(const std::string& device, int error);
    void Remove(const std::string& device);
    // Ends the link as an unplugged USB adapter would.
    void Unplug(const std::string& device);

    QvdDevice* Device(const std::string& device);
    TransportFactory Factory();

    // Device latency before an answer starts (virtual ms).
    uint32_t answerLatencyMs = 1;

    struct Port {
        std::unique_ptr<QvdDevice> device;
        bool busy = false;
        int refuseError = 0;
        bool open = false;
        bool unplugged = false;
        int opens = 0;
        std::function<void()> notify;  // the open transport's received-bytes notification
    };
    std::map<std::string, Port>& ports() { return ports_; }
    VirtualHost& host() { return host_; }

private:
    VirtualHost& host_;
    std::map<std::string, Port> ports_;
};

}  // namespace qvd::sim
