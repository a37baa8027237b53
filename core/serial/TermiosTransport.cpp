#include "core/serial/TermiosTransport.h"

#include "core/serial/EVaCommError.h"

namespace qvd {

TransportFactory TermiosTransports(Host&) {
    return [](const std::string& device) -> std::unique_ptr<SerialTransport> {
        throw EVaCommError(comm_errors::DeviceNotFound(device));
    };
}

}  // namespace qvd
