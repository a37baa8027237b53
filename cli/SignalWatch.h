#pragma once
// SIGINT and SIGTERM as events: blocked in every thread and taken by one
// watching thread, which hands them on; the operation in progress decides
// what they end.
#include "cli/CliOptions.h"

#include <atomic>
#include <functional>
#include <signal.h>
#include <string>
#include <thread>

namespace qvd::cli {

class SignalWatch {
public:
    // Blocks the signals in the calling thread and every thread it starts.
    SignalWatch();
    ~SignalWatch() { Stop(); }

    void Start(std::function<void(int signal)> onSignal);
    void Stop();

private:
    sigset_t signals_{};
    std::atomic<bool> stopping_{false};
    std::thread watcher_;
};

// The COM number to search and, for --port PATH, the device it stands for.
struct PortChoice {
    int number = 0;  // 0: every port
    std::string path;
};
// A path that is the device of some COM n (e.g. /dev/ttyUSB0 for COM5) is
// searched as that COM n; any other as COM1.
PortChoice ChoosePort(const Options& options, const std::string& pattern);

}  // namespace qvd::cli
