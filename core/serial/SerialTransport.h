#pragma once
// What TVaComm needs of a port backend: a small table of open, close, write,
// input count, read. Backends raise EVaCommError with the component's texts.
#include <functional>
#include <memory>
#include <string>

namespace qvd {

class SerialTransport {
public:
    virtual ~SerialTransport() = default;

    // Opens the device at 57600 8N1 raw, no handshake, DTR and RTS dropped,
    // input flushed. `onReceived` is to be called on the user-interface
    // thread whenever new bytes have arrived (once per arrival, never again
    // for bytes that merely wait) or the device has failed.
    virtual void Open(const std::string& device, std::function<void()> onReceived) = 0;
    virtual void Close() = 0;
    // Writes every byte and waits until they are on the line, at most
    // timeoutMs. True when all went out.
    virtual bool Write(const std::string& bytes, int timeoutMs) = 0;
    virtual int InputCount() = 0;
    // Reads at most n waiting bytes without waiting for more.
    virtual std::string Read(int n) = 0;
};

// Makes a transport for a device name (a path, or a virtual port's name).
using TransportFactory = std::function<std::unique_ptr<SerialTransport>(const std::string& device)>;

}  // namespace qvd
