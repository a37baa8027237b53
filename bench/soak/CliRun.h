#pragma once
// One qvd-cli command line run in this process, as cli/main.cpp runs it:
// the command line parsed by ParseCommandLine, a fresh CliHost, Program
// (termios backend, real-time host) and Session, then torn down again. In
// one long-lived process whatever an operation leaves behind accumulates.
#include "core/link/OperationResult.h"

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace qvd::cli {
class CliHost;
class Session;
}  // namespace qvd::cli

namespace qvd::soak {

struct CliRun {
    int status = -1;  // the exit status qvd-cli would have
    Outcome outcome = Outcome::None;
    std::vector<std::string> output;  // what qvd-cli prints on stdout
    std::vector<std::string> log;     // the window's log
    std::vector<std::string> boxes;   // the texts of the message boxes
    std::string error;
    OperationResult result;  // the runner's last
};

// Hands a SIGINT or SIGTERM to the session running, as qvd-cli's signal
// watch does; remembers it for the soak.
class SignalRelay {
public:
    void Deliver(int signal);
    int signal() const { return signal_; }

private:
    friend CliRun RunCli(const std::vector<std::string>&, const std::string&, SignalRelay&);
    std::mutex mutex_;
    cli::CliHost* host_ = nullptr;
    cli::Session* session_ = nullptr;
    std::atomic<int> signal_{0};
};

// args without the program name; the ports are those of `pattern`
// (QVD_PC_PORTS' form).
CliRun RunCli(const std::vector<std::string>& args, const std::string& pattern, SignalRelay& relay);

}  // namespace qvd::soak
