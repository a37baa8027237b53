#pragma once
// The serial port component: one numbered COM port, synchronous writes,
// received-bytes notification on the user-interface thread, and reads of
// whatever is waiting.
#include "core/host/Host.h"
#include "core/serial/EVaCommError.h"
#include "core/serial/SerialTransport.h"
#include "core/serial/WireTrace.h"

#include <functional>
#include <memory>
#include <string>

namespace qvd {

// Maps COM names to devices. "COM%d" formatted with the port number, then
// looked up: see PortNames.h.
using DeviceResolver = std::function<std::string(int portNum)>;

class TVaComm {
public:
    TVaComm(Host& host, TransportFactory factory, DeviceResolver resolver);
    ~TVaComm();
    TVaComm(const TVaComm&) = delete;
    TVaComm& operator=(const TVaComm&) = delete;

    int PortNum() const { return portNum_; }
    void SetPortNum(int n);
    const std::string& DeviceName() const { return deviceName_; }
    void SetDeviceName(const std::string& pattern);
    // The device the current port number stands for.
    std::string ResolvedDevice() const;

    bool Active() const { return transport_ != nullptr; }
    void Open();
    // Costs at least 300 ms on an open port (a plain sleep, no events).
    void Close();

    bool WriteText(const std::string& bytes);
    int InputCount();
    std::string ReadText();

    // Every byte written and read goes to the trace, when there is one.
    void SetTrace(std::unique_ptr<WireTrace> trace) { trace_ = std::move(trace); }

    // Count = bytes waiting at dispatch time; only called when that is > 0.
    std::function<void(int count)> OnRxChar;
    // The device failed (hung up, unplugged) while nobody was reading: told
    // when its notification arrives. The port is closed by then, as after a
    // failed read or write, so the failure is told once.
    std::function<void(const EVaCommError& error)> OnFailure;

private:
    void DispatchReceived();
    // Traces the failure and drops the transport: a failed device behaves as
    // a closed port until the next Open.
    void Abandon(const EVaCommError& error);
    template <typename Call>
    auto Guarded(Call call) -> decltype(call());

    Host& host_;
    TransportFactory factory_;
    DeviceResolver resolver_;
    int portNum_ = 1;
    std::string deviceName_ = "COM%d";
    std::unique_ptr<SerialTransport> transport_;
    std::unique_ptr<WireTrace> trace_;
    // Bumped on every open, so a notification queued for an earlier opening
    // is dropped.
    std::shared_ptr<int> generation_ = std::make_shared<int>(0);
};

}  // namespace qvd
