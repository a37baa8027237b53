#include "core/serial/UsbPortName.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace qvd {

namespace fs = std::filesystem;

namespace {

// A ttyUSB's device is a child of the USB interface, a ttyACM's device is
// the interface itself; the USB device is the interface's parent.
constexpr int kLevelsUpToUsbDevice = 3;
// USB string descriptors are far shorter; this only bounds a bad file.
constexpr std::streamsize kAttributeLimit = 256;

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string Attribute(const fs::path& dir, const char* name) {
    std::ifstream in(dir / name, std::ios::binary);
    std::string text(kAttributeLimit, '\0');
    in.read(text.data(), kAttributeLimit);
    text.resize(static_cast<size_t>(in.gcount()));
    while (!text.empty() && Blank(text.back())) text.pop_back();
    size_t first = 0;
    while (first < text.size() && Blank(text[first])) ++first;
    text.erase(0, first);
    // One log line each: nothing in it may break the line or the window.
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return text;
}

}  // namespace

std::string UsbPortName(const std::string& sysfsRoot, const std::string& device) {
    std::error_code error;
    const fs::path node = fs::canonical(device, error);
    if (error || node.filename().empty()) return {};
    fs::path dir = fs::canonical(fs::path(sysfsRoot) / "class" / "tty" / node.filename() / "device", error);
    if (error) return {};
    for (int level = 0; level < kLevelsUpToUsbDevice; ++level, dir = dir.parent_path()) {
        const std::string vendorId = Attribute(dir, "idVendor");
        if (vendorId.empty()) continue;
        std::string maker = Attribute(dir, "manufacturer");
        std::string product = Attribute(dir, "product");
        if (maker.empty()) maker = vendorId;
        if (product.empty()) product = Attribute(dir, "idProduct");
        std::string name = node.string() + ",";
        for (const std::string& part : {maker, product, Attribute(dir, "serial")})
            if (!part.empty()) name += " " + part;
        return name;
    }
    return {};
}

std::string SysfsRootFromEnvironment() {
    const char* value = std::getenv("QVD_PC_SYSFS");
    return value && *value ? value : "/sys";
}

}  // namespace qvd
