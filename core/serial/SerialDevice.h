#pragma once
// Opening and releasing a serial device node (real port or pseudo-terminal)
// with the line the adapter needs: 57600 8N1, raw, no handshake, DTR and RTS
// dropped, reads that return at once.
#include <string>

namespace qvd {

// Returns the configured, exclusively held descriptor (non-blocking). Raises
// EVaCommError with the component's texts and the errno as Code(); nothing
// stays open on failure.
int OpenSerialDevice(const std::string& path);

// Gives up exclusive use and closes. Never blocks on unsent output.
void ReleaseSerialDevice(int fd);

}  // namespace qvd
