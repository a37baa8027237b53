#pragma once
// What a technician recognises a USB serial adapter by: the names
// /dev/serial/by-id is made of, read from sysfs.
#include <string>

namespace qvd {

// For a device (or a link to one) that is a USB serial port: its resolved
// path, then maker, product and serial number, e.g. "/dev/ttyUSB0, FTDI
// FT232R USB UART A1B2C3D4". A missing maker or product is told by its USB
// id, a missing serial number left out. Empty for any other device.
std::string UsbPortName(const std::string& sysfsRoot, const std::string& device);

// QVD_PC_SYSFS, or /sys when unset.
std::string SysfsRootFromEnvironment();

}  // namespace qvd
