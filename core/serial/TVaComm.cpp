#include "core/serial/TVaComm.h"

#include <cstdio>

namespace qvd {

TVaComm::TVaComm(Host& host, TransportFactory factory, DeviceResolver resolver)
    : host_(host), factory_(std::move(factory)), resolver_(std::move(resolver)) {}

TVaComm::~TVaComm() {
    // A notification may still be queued on the host; it must find the
    // generation changed and not touch this object.
    ++*generation_;
    if (transport_) transport_->Close();
}

void TVaComm::SetPortNum(int n) {
    if (Active()) throw EVaCommError(comm_errors::PortOpen());
    portNum_ = n;
}

void TVaComm::SetDeviceName(const std::string& pattern) {
    if (Active()) throw EVaCommError(comm_errors::PortOpen());
    deviceName_ = pattern;
}

std::string TVaComm::ResolvedDevice() const {
    if (resolver_) return resolver_(portNum_);
    char name[64];
    std::snprintf(name, sizeof name, "COM%d", portNum_);
    return name;
}

void TVaComm::Open() {
    if (Active()) throw EVaCommError(comm_errors::PortOpen());
    auto transport = factory_(ResolvedDevice());
    const auto generation = generation_;
    const int opening = ++*generation_;
    transport->Open(ResolvedDevice(), [this, generation, opening] {
        // Arrives on the user-interface thread; drop it if the port it was
        // meant for has been closed (or reopened) meanwhile.
        if (*generation != opening) return;
        DispatchReceived();
    });
    transport_ = std::move(transport);
    if (trace_) trace_->Note("open " + ResolvedDevice());
}

void TVaComm::Close() {
    if (!Active()) return;
    ++*generation_;
    transport_->Close();
    transport_.reset();
    if (trace_) trace_->Note("close");
    host_.Sleep(300);
}

template <typename Call>
auto TVaComm::Guarded(Call call) -> decltype(call()) {
    try {
        return call();
    } catch (const EVaCommError& error) {
        Abandon(error);
        throw;
    }
}

void TVaComm::Abandon(const EVaCommError& error) {
    if (trace_) trace_->Note(std::string("failed: ") + error.what());
    ++*generation_;
    transport_->Close();
    transport_.reset();
}

bool TVaComm::WriteText(const std::string& bytes) {
    if (!Active()) return false;
    if (trace_) trace_->Sent(bytes);
    return Guarded([&] { return transport_->Write(bytes, 1000); });
}

int TVaComm::InputCount() {
    if (!Active()) return 0;
    return Guarded([&] { return transport_->InputCount(); });
}

std::string TVaComm::ReadText() {
    const int n = InputCount();
    if (n <= 0) return {};
    std::string bytes = Guarded([&] { return transport_->Read(n); });
    if (trace_) trace_->Received(bytes);
    return bytes;
}

void TVaComm::DispatchReceived() {
    if (!Active()) return;
    int count = 0;
    try {
        count = transport_->InputCount();
    } catch (const EVaCommError& error) {
        // Whoever waits for data (a stream, an answer) hears of it now, and
        // nobody again from the next read or write.
        Abandon(error);
        if (OnFailure) OnFailure(error);
        return;
    }
    if (count > 0 && OnRxChar) OnRxChar(count);
}

}  // namespace qvd
