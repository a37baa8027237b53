#pragma once
// Every write and every read of the program's port with its time, taken
// around the real transport, so that an operation's wall time can be split
// where the bytes cross the wire.
#include "core/serial/SerialTransport.h"
#include "testkit/RealTime.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace qvd::measure {

struct WireEvent {
    test::SteadyClock::time_point at;
    bool written = false;  // else read
    std::string bytes;
};

class WireLog {
public:
    // For E2eProgram's transport wrapper.
    TransportFactory Around(TransportFactory inner) {
        return [this, inner = std::move(inner)](const std::string& device) -> std::unique_ptr<SerialTransport> {
            return std::make_unique<Timed>(inner(device), *this);
        };
    }
    std::vector<WireEvent> events;

private:
    class Timed : public SerialTransport {
    public:
        Timed(std::unique_ptr<SerialTransport> inner, WireLog& log) : inner_(std::move(inner)), log_(log) {}
        void Open(const std::string& device, std::function<void()> onReceived) override {
            inner_->Open(device, std::move(onReceived));
        }
        void Close() override { inner_->Close(); }
        bool Write(const std::string& bytes, int timeoutMs) override {
            log_.events.push_back({test::SteadyClock::now(), true, bytes});
            return inner_->Write(bytes, timeoutMs);
        }
        int InputCount() override { return inner_->InputCount(); }
        std::string Read(int n) override {
            std::string bytes = inner_->Read(n);
            if (!bytes.empty()) log_.events.push_back({test::SteadyClock::now(), false, bytes});
            return bytes;
        }

    private:
        std::unique_ptr<SerialTransport> inner_;
        WireLog& log_;
    };
};

}  // namespace qvd::measure
