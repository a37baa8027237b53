#include "cli/SignalWatch.h"

#include "core/serial/PortNames.h"

#include <ctime>
#include <filesystem>

namespace qvd::cli {

SignalWatch::SignalWatch() {
    sigemptyset(&signals_);
    sigaddset(&signals_, SIGINT);
    sigaddset(&signals_, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals_, nullptr);
}

void SignalWatch::Start(std::function<void(int)> onSignal) {
    watcher_ = std::thread([this, onSignal = std::move(onSignal)] {
        const timespec slice{0, 200 * 1000 * 1000};
        while (!stopping_) {
            const int signal = sigtimedwait(&signals_, nullptr, &slice);
            if (signal > 0) onSignal(signal);
        }
    });
}

void SignalWatch::Stop() {
    stopping_ = true;
    if (watcher_.joinable()) watcher_.join();
}

PortChoice ChoosePort(const Options& options, const std::string& pattern) {
    if (options.portNumber) return {*options.portNumber, {}};
    if (options.portPath.empty()) return {};
    std::error_code error;
    const std::filesystem::path wanted = std::filesystem::weakly_canonical(options.portPath, error);
    for (int n = 1; n <= 16; ++n) {
        std::error_code ignored;
        if (!error && std::filesystem::weakly_canonical(DevicePathForPort(n, pattern), ignored) == wanted)
            return {n, options.portPath};
    }
    return {1, options.portPath};
}

}  // namespace qvd::cli
