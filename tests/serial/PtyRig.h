#pragma once
// A pseudo-terminal pair standing in for a serial cable: the component opens
// the slave path, the test plays the device on the master.
#include "core/host/RealTimeHost.h"
#include "core/serial/TVaComm.h"
#include "core/serial/TermiosTransport.h"
#include "testkit/RealTime.h"

#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace qvd::test {

struct Pty {
    int master = -1;
    std::string slavePath;

    Pty() {
        int slave = -1;
        char name[128];
        if (::openpty(&master, &slave, name, nullptr, nullptr) < 0) throw std::runtime_error("openpty");
        termios tio{};  // raw on the device side too: the test's bytes must pass unchanged
        ::tcgetattr(master, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(master, TCSANOW, &tio);
        ::close(slave);
        slavePath = name;
    }
    ~Pty() { CloseMaster(); }
    Pty(const Pty&) = delete;

    void Send(const std::string& bytes) {
        if (::write(master, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) throw std::runtime_error("write");
    }
    // Reads until n bytes have come or timeoutMs have passed.
    std::string Receive(size_t n, int timeoutMs) {
        std::string out;
        const auto start = SteadyClock::now();
        pollfd p{master, POLLIN, 0};
        while (out.size() < n && MsSince(start) < timeoutMs) {
            if (::poll(&p, 1, 20) <= 0) continue;
            char buffer[65536];
            const ssize_t got = ::read(master, buffer, std::min(sizeof buffer, n - out.size()));
            if (got > 0) out.append(buffer, static_cast<size_t>(got));
        }
        return out;
    }
    void CloseMaster() {
        if (master >= 0) ::close(master);
        master = -1;
    }
};

// The component on a pty, on the real clock.
struct PtyRig {
    Pty pty;
    RealTimeHost host;
    TVaComm comm{host, TermiosTransports(host), [this](int) { return pty.slavePath; }};
};

}  // namespace qvd::test
