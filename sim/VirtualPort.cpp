#include "sim/VirtualPort.h"

#include "core/serial/EVaCommError.h"

#include <cerrno>

namespace qvd::sim {

namespace {

class VirtualTransport : public SerialTransport {
public:
    VirtualTransport(VirtualPorts& ports, std::string device)
        : ports_(ports), device_(std::move(device)), alive_(std::make_shared<bool>(true)) {}
    ~VirtualTransport() override { Close(); }

    void Open(const std::string& device, std::function<void()> onReceived) override {
        auto& all = ports_.ports();
        auto it = all.find(device);
        if (it == all.end()) throw EVaCommError(comm_errors::DeviceNotFound(device));
        if (it->second.refuseError)
            throw EVaCommError(comm_errors::CantOpen(device, it->second.refuseError), it->second.refuseError);
        if (it->second.busy || it->second.open) throw EVaCommError(comm_errors::CantOpen(device, EBUSY), EBUSY);
        it->second.open = true;
        ++it->second.opens;
        port_ = &it->second;
        onReceived_ = std::move(onReceived);
        if (QvdDevice* dev = port_->device.get()) {
            const auto alive = alive_;
            dev->send = [this, alive](const std::string& bytes) {
                if (*alive) Deliver(bytes);
            };
        }
    }

    void Close() override {
        if (!port_) return;
        *alive_ = false;
        if (port_->device) port_->device->send = nullptr;
        port_->open = false;
        port_ = nullptr;
        input_.clear();
    }

    bool Write(const std::string& bytes, int) override {
        CheckAlive();
        // Synchronous: the bytes are on the line when this returns.
        ports_.host().Sleep(WireMs(bytes.size()));
        if (port_->device) port_->device->Receive(bytes);
        return true;
    }

    int InputCount() override {
        CheckAlive();
        return static_cast<int>(input_.size());
    }

    std::string Read(int n) override {
        CheckAlive();
        const size_t take = std::min(input_.size(), static_cast<size_t>(n));
        std::string out = input_.substr(0, take);
        input_.erase(0, take);
        return out;
    }

private:
    void CheckAlive() {
        if (port_ && port_->unplugged) throw EVaCommError(comm_errors::Statistics(EIO));
    }

    // Schedules the answer's bytes at the line rate after the device latency.
    void Deliver(const std::string& bytes) {
        VirtualHost& host = ports_.host();
        const uint64_t start = std::max(host.Time() + ports_.answerLatencyMs, lineFreeAt_);
        const auto alive = alive_;
        size_t sent = 0;
        while (sent < bytes.size()) {
            // Bytes that have arrived by the end of each millisecond.
            const uint64_t ms = start + WireMs(sent + 1);
            size_t upto = sent + 1;
            while (upto < bytes.size() && start + WireMs(upto + 1) == ms) ++upto;
            std::string chunk = bytes.substr(sent, upto - sent);
            host.At(ms, [this, alive, chunk] {
                if (!*alive) return;
                input_ += chunk;
                if (onReceived_) onReceived_();
            });
            sent = upto;
        }
        lineFreeAt_ = start + WireMs(bytes.size());
    }

    VirtualPorts& ports_;
    std::string device_;
    VirtualPorts::Port* port_ = nullptr;
    std::shared_ptr<bool> alive_;
    std::function<void()> onReceived_;
    std::string input_;
    uint64_t lineFreeAt_ = 0;
};

}  // namespace

QvdDevice& VirtualPorts::AddAdapter(const std::string& device, DeviceConfig config) {
    auto& port = ports_[device];
    port.device = std::make_unique<QvdDevice>(std::move(config), [this] { return host_.Time(); });
    return *port.device;
}

void VirtualPorts::AddSilentPort(const std::string& device) { ports_[device]; }

void VirtualPorts::AddBusyPort(const std::string& device) { ports_[device].busy = true; }

void VirtualPorts::AddRefusingPort(const std::string& device, int error) {
    ports_[device].refuseError = error;
}

void VirtualPorts::Remove(const std::string& device) { ports_.erase(device); }

void VirtualPorts::Unplug(const std::string& device) {
    auto it = ports_.find(device);
    if (it != ports_.end()) it->second.unplugged = true;
}

QvdDevice* VirtualPorts::Device(const std::string& device) {
    auto it = ports_.find(device);
    return it == ports_.end() ? nullptr : it->second.device.get();
}

TransportFactory VirtualPorts::Factory() {
    return [this](const std::string& device) -> std::unique_ptr<SerialTransport> {
        return std::make_unique<VirtualTransport>(*this, device);
    };
}

}  // namespace qvd::sim
