#pragma once
// Real serial devices and pseudo-terminals through termios.
#include "core/host/Host.h"
#include "core/serial/SerialTransport.h"

namespace qvd {

// Transports for device paths; received-bytes notifications are posted to
// the host's user-interface thread.
TransportFactory TermiosTransports(Host& host);

}  // namespace qvd
