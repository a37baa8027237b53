#include "cli/CliProgram.h"

#include "cli/SignalWatch.h"
#include "core/serial/PortNames.h"
#include "core/serial/TermiosTransport.h"
#include "core/serial/UsbPortName.h"

namespace qvd::cli {

std::unique_ptr<Program> MakeCliProgram(CliHost& host, const Options& options, const std::string& pattern) {
    const PortChoice port = ChoosePort(options, pattern);
    const std::string sysfs = SysfsRootFromEnvironment();
    auto program = std::make_unique<Program>(
        host, TermiosTransports(host),
        [pattern, port](int n) {
            return !port.path.empty() && n == port.number ? port.path : DevicePathForPort(n, pattern);
        },
        [sysfs](const std::string& device) { return UsbPortName(sysfs, device); });
    if (port.number) program->exchange.RestrictPorts(port.number, port.number);
    return program;
}

}  // namespace qvd::cli
