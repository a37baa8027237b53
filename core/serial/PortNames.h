#pragma once
#include <string>

namespace qvd {

// Where COM n (1..16) lives on this system, from QVD_PC_PORTS:
//  - a value with "%d" is a pattern: COM n is the value with n in place of
//    its first "%d" ("/tmp/x/COM%d" makes COM3 "/tmp/x/COM3");
//  - any other value lists the devices of COM1, COM2, ... separated by ','
//    (not ':', which by-path names contain); an empty entry, and every COM
//    beyond the list, has no device (empty);
//  - without a value COM1-COM4 are /dev/ttyS0-3, COM5-COM12 /dev/ttyUSB0-7
//    and COM13-COM16 /dev/ttyACM0-3.
std::string DevicePathForPort(int portNum, const std::string& ports);

// The value of the environment variable QVD_PC_PORTS, empty when unset.
std::string PortPatternFromEnvironment();

// The group whose members may open the device: its own group where that
// may read and write it and is not root's; otherwise "dialout", the usual
// owner of serial ports.
std::string PortGroupOf(const std::string& device);

}  // namespace qvd
