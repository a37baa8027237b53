#include "sim/VirtualPort.h"

#include "core/serial/EVaCommError.h"

#include <cerrno>

namespace qvd::sim {

namespace {

constexpr uint64_t kVanishGraceMs = 50;

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
        {
            const auto alive = alive_;
            // An unplugged device wakes the reader, as a hang-up does on a real port.
            port_->notify = [this, alive] {
                if (*alive && onReceived_) onReceived_();
            };
        }
        if (QvdDevice* dev = port_->device.get()) {
            const auto alive = alive_;
            dev->send = [this, alive](const std::string& bytes) {
                if (*alive) Deliver(bytes);
            };
            dev->sendGap = [this, alive](uint32_t ms) {
                if (*alive) lineFreeAt_ = std::max(lineFreeAt_, ports_.host().Time()) + ms;
            };
            dev->vanish = [this, alive] {
                if (*alive) VanishWhenLineIsFree();
            };
        }
    }

    void Close() override {
        if (!port_) return;
        *alive_ = false;
        port_->notify = nullptr;
        if (QvdDevice* dev = port_->device.get()) {
            dev->send = nullptr;
            dev->sendGap = nullptr;
            dev->vanish = nullptr;
        }
        port_->open = false;
        port_ = nullptr;
        input_.clear();
    }

    bool Write(const std::string& bytes, int) override {
        CheckAlive();
        // Synchronous: the bytes are on the line when this returns.
        ports_.host().Sleep(WireMs(bytes.size()));
        if (port_->device) port_->device->Receive(bytes);
        CheckAlive();  // the device may have vanished while taking them
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

    // Schedules the answer's bytes at the line rate after the device latency:
    // each step delivers what has come through by then, the last byte at
    // exactly its wire time. Short answers arrive millisecond by millisecond,
    // as a timeout sees them; long streams in 10 ms steps, so that a megabyte
    // costs thousands of events rather than hundreds of thousands.
    void Deliver(const std::string& bytes) {
        VirtualHost& host = ports_.host();
        const uint64_t start = std::max(host.Time() + ports_.answerLatencyMs, lineFreeAt_);
        const uint64_t total = WireMs(bytes.size());
        const uint64_t step = bytes.size() > 256 ? 10 : 1;
        const auto alive = alive_;
        size_t sent = 0;
        for (uint64_t ms = std::min(step, total); sent < bytes.size(); ms = std::min(ms + step, total)) {
            const size_t upto = ms == total ? bytes.size()
                                            : std::min(bytes.size(), static_cast<size_t>(ms * kLineBytesPerSecond / 1000));
            if (upto == sent) continue;
            std::string chunk = bytes.substr(sent, upto - sent);
            host.At(start + ms, [this, alive, chunk = std::move(chunk)] {
                if (!*alive) return;
                input_ += chunk;
                if (onReceived_) onReceived_();
            });
            sent = upto;
        }
        lineFreeAt_ = start + total;
    }

    // The port fails shortly after the bytes on their way have arrived, so
    // that the PC can take them as it would from a driver's buffer. The
    // device stays gone, whether or not the PC still has the port open then.
    void VanishWhenLineIsFree() {
        VirtualHost& host = ports_.host();
        auto unplug = [&ports = ports_, device = device_] { ports.Unplug(device); };
        if (lineFreeAt_ <= host.Time()) unplug();
        else host.At(lineFreeAt_ + kVanishGraceMs, unplug);
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
    port.device->schedule = [this](uint32_t ms, std::function<void()> fn) { host_.After(ms, std::move(fn)); };
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
    if (it == ports_.end()) return;
    it->second.unplugged = true;
    if (it->second.notify) host_.Post(it->second.notify);
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
