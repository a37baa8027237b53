// qvd-sim: a virtual QVD module on a pseudo-terminal, for the demo and for
// end-to-end tests. The PC program opens the printed path (or the --link) as
// its COM port.
#include "sim/PortLink.h"
#include "sim/PtyServer.h"
#include "sim/QvdDevice.h"
#include "sim/SimOptions.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <stdexcept>
#include <string>
#include <sys/signalfd.h>
#include <unistd.h>

using namespace qvd::sim;

namespace {

uint64_t SteadyMs() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

// The module's clock starts at the PC's local time, as if set recently.
void SetClockToLocalTime(DeviceConfig& config) {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    config.year = tm.tm_year % 100;
    config.month = tm.tm_mon + 1;
    config.day = tm.tm_mday;
    config.hour = tm.tm_hour;
    config.minute = tm.tm_min;
    config.second = tm.tm_sec;
    config.weekday = tm.tm_wday == 0 ? 7 : tm.tm_wday;
}

// Commands as text, with control and non-ASCII bytes shown as <XX>.
std::string Printable(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "<%02X>", c);
            out += hex;
        }
    }
    return out;
}

int StopSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    if (sigprocmask(SIG_BLOCK, &set, nullptr) < 0) return -1;
    return signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
}

}  // namespace

int main(int argc, char** argv) {
    const ParsedOptions parsed = ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "qvd-sim: %s\n%s", parsed.error.c_str(), kSimUsage);
        return 2;
    }
    if (parsed.options.help) {
        std::fputs(kSimUsage, stdout);
        return 0;
    }
    if (parsed.options.programVersion) {
        std::printf("qvd-sim %s\n", QVD_PC_VERSION);
        return 0;
    }
    if (parsed.options.facts) {
        std::fputs(FactsJson().c_str(), stdout);
        return 0;
    }
    SimOptions options = parsed.options;
    if (const std::string error = LoadImages(options); !error.empty()) {
        std::fprintf(stderr, "qvd-sim: %s\n", error.c_str());
        return 2;
    }
    std::signal(SIGPIPE, SIG_IGN);
    const int stopFd = StopSignals();
    if (stopFd < 0) {
        std::perror("qvd-sim: signalfd");
        return 1;
    }

    DeviceConfig config = options.config;
    SetClockToLocalTime(config);
    QvdDevice device(config, SteadyMs);
    device.faults = options.faults;
    // A command the model does not know is a gap in the simulator: say so loudly.
    device.onUnknownCommand = [](const std::string& command) {
        std::fprintf(stderr, "qvd-sim: unbekannter Befehl: %s\n", Printable(command).c_str());
    };

    try {
        PtyServer server(device, !options.fast);
        server.afterReceive = [&device, &options] {
            if (options.verbose)
                for (const std::string& command : device.received)
                    std::printf("qvd-sim: Befehl: %s\n", Printable(command).c_str());
            std::fflush(stdout);
            device.received.clear();  // a long run would otherwise grow without end
        };
        if (!options.link.empty()) PublishLink(options.link, server.SlavePath());
        std::printf("qvd-sim: QVD-Modul (Typ %d, V%s, SN %s) bereit an %s%s%s\n",
                    config.moduleType, config.version.c_str(), config.serial.c_str(),
                    options.link.empty() ? "" : (options.link + " -> ").c_str(), server.SlavePath().c_str(),
                    options.fast ? " (ungebremst)" : "");
        std::fflush(stdout);
        try {
            server.Run(stopFd);
        } catch (...) {
            if (!options.link.empty()) WithdrawLink(options.link, server.SlavePath());
            throw;
        }
        if (!options.link.empty()) WithdrawLink(options.link, server.SlavePath());
        if (server.Vanished()) {
            // As an unplugged USB adapter: the terminal closes and its node goes.
            std::fprintf(stderr, "qvd-sim: Modul verschwunden (simulierter Fehler)\n");
            return 3;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "qvd-sim: %s\n", e.what());
        return 1;
    }
    std::printf("qvd-sim: beendet\n");
    return 0;
}
