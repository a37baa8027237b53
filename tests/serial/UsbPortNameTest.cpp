// COM n to device by QVD_PC_PORTS, and the device to what the technician
// sees on the cable, over a sysfs tree as the kernel lays it out for USB
// serial adapters and a legacy port.
#include "core/serial/PortNames.h"
#include "core/serial/UsbPortName.h"
#include "testkit/ScratchDir.h"

#include <gtest/gtest.h>

#include <grp.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace qvd::test {
namespace {

namespace fs = std::filesystem;

struct FakeTty {
    std::string name;    // kernel name, also the node's under dev/
    std::string device;  // the tty's device folder below sys/devices
    std::string usbDevice;  // where the USB attributes are; empty for none
    std::map<std::string, std::string> attributes;
};

void Build(const ScratchDir& dir, const FakeTty& tty) {
    const fs::path devices = dir / "sys/devices";
    fs::create_directories(devices / tty.device);
    for (const auto& [name, value] : tty.attributes) WriteFile(devices / tty.usbDevice / name, value);
    const fs::path classDir = dir / "sys/class/tty" / tty.name;
    fs::create_directories(classDir);
    fs::create_symlink(fs::relative(devices / tty.device, classDir), classDir / "device");
    WriteFile(dir / "dev" / tty.name, "");
}

TEST(UsbPortName, PortsListOrPatternLeadToDevicesNamedAsByIdDoes) {
    ScratchDir dir;
    fs::create_directories(dir / "dev/serial/by-id");
    const std::string usb = "pci0000:00/0000:00:14.0/usb1/";
    for (const FakeTty& tty : std::initializer_list<FakeTty>{
             {"ttyUSB0", usb + "1-1/1-1:1.0/ttyUSB0", usb + "1-1",
              {{"manufacturer", "FTDI\n"}, {"product", "FT232R USB UART\n"}, {"serial", "A1B2C3D4\n"},
               {"idVendor", "0403\n"}, {"idProduct", "6001\n"}}},
             {"ttyUSB1", usb + "1-2/1-2:1.0/ttyUSB1", usb + "1-2",
              {{"product", "USB Serial\n"}, {"idVendor", "1a86\n"}, {"idProduct", "7523\n"}}},
             {"ttyUSB2", usb + "1-3/1-3:1.0/ttyUSB2", usb + "1-3",
              {{"manufacturer", "Prolific Technology Inc. \n"}, {"product", "USB-Serial Controller\n"},
               {"idVendor", "067b\n"}, {"idProduct", "2303\n"}}},
             {"ttyACM0", usb + "1-4/1-4:1.0", usb + "1-4",
              {{"manufacturer", "Arduino (www.arduino.cc)\n"}, {"serial", "7543\x1b[0m\n"},
               {"idVendor", "2341\n"}, {"idProduct", "0043\n"}}},
             {"ttyS0", "pnp0/00:04", "pnp0/00:04", {{"id", "PNP0501\n"}}},
         })
        Build(dir, tty);
    const std::string byId = (dir / "dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3D4-if00-port0").string();
    fs::create_symlink("../../ttyUSB0", byId);

    const std::string dev = (fs::canonical(dir.path()) / "dev/").string();
    const std::string list = byId + ",," + dev + "ttyUSB1," + dev + "ttyUSB2," + dev + "ttyACM0," + dev + "ttyS0," +
                             dev + "ttyUSB7";
    struct Case { std::string ports; int com; std::string device, name; };
    const Case cases[] = {
        {list, 1, byId, dev + "ttyUSB0, FTDI FT232R USB UART A1B2C3D4"},
        {list, 2, "", ""},
        {list, 3, dev + "ttyUSB1", dev + "ttyUSB1, 1a86 USB Serial"},
        {list, 4, dev + "ttyUSB2", dev + "ttyUSB2, Prolific Technology Inc. USB-Serial Controller"},
        {list, 5, dev + "ttyACM0", dev + "ttyACM0, Arduino (www.arduino.cc) 0043 7543?[0m"},
        {list, 6, dev + "ttyS0", ""},
        {list, 7, dev + "ttyUSB7", ""},  // gone
        {list, 8, "", ""},
        {byId, 1, byId, dev + "ttyUSB0, FTDI FT232R USB UART A1B2C3D4"},
        {byId, 2, "", ""},
        {dev + "tty%d", 5, dev + "tty5", ""},
        {"/tmp/a,b/COM%d-%d", 12, "/tmp/a,b/COM12-%d", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ports + " COM" + std::to_string(c.com));
        const std::string device = DevicePathForPort(c.com, c.ports);
        EXPECT_EQ(device, c.device);
        EXPECT_EQ(UsbPortName((dir / "sys").string(), device), c.name);
    }
}

}  // namespace
}  // namespace qvd::test

namespace qvd::test {
namespace {

// The hint must name a group whose members can really open the port.
TEST(PortGroupOf, NamesTheDevicesGroupOnlyWhereJoiningItHelps) {
    if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another group needs root";
    const group* tty = ::getgrnam("tty");
    if (!tty) GTEST_SKIP() << "no group tty here";
    struct Case { gid_t group; mode_t mode; const char* named; };
    const Case cases[] = {
        {tty->gr_gid, 0660, "tty"},
        {tty->gr_gid, 0620, "dialout"},  // may write, not read
        {0, 0660, "dialout"},            // root's group
    };
    ScratchDir dir;
    const std::string device = dir.Write("ttyUSB0", "");
    for (const Case& c : cases) {
        ASSERT_EQ(::chown(device.c_str(), 0, c.group), 0);
        ASSERT_EQ(::chmod(device.c_str(), c.mode), 0);
        EXPECT_EQ(PortGroupOf(device), c.named) << c.mode;
    }
    EXPECT_EQ(PortGroupOf((dir / "missing").string()), "dialout");
}

}  // namespace
}  // namespace qvd::test
