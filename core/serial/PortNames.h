#pragma once
#include <string>

namespace qvd {

// Where COM n (1..16) lives on this system. With a pattern such as
// "/tmp/x/COM%d" (from QVD_PC_PORTS) COM n is that path with n inserted;
// otherwise COM1-COM4 are /dev/ttyS0-3, COM5-COM12 /dev/ttyUSB0-7 and
// COM13-COM16 /dev/ttyACM0-3.
std::string DevicePathForPort(int portNum, const std::string& pattern);

// The pattern from the environment variable QVD_PC_PORTS, empty when unset.
std::string PortPatternFromEnvironment();

}  // namespace qvd
