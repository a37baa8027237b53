#pragma once
// A pseudo-terminal pair standing in for a serial cable: the component opens
// the slave path, the test plays the device on the master.
#include "core/host/RealTimeHost.h"
#include "core/serial/TVaComm.h"
#include "core/serial/TermiosTransport.h"

#include <cerrno>
#include <chrono>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace qvd::test {

class Pty {
public:
    Pty() {
        int slave = -1;
        char name[128];
        if (::openpty(&master_, &slave, name, nullptr, nullptr) < 0) throw std::runtime_error("openpty");
        // Raw on the device side too: the test's bytes must pass unchanged.
        termios tio{};
        ::tcgetattr(master_, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(master_, TCSANOW, &tio);
        ::close(slave);
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        slavePath_ = name;
    }
    ~Pty() { CloseMaster(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    const std::string& SlavePath() const { return slavePath_; }
    int Master() const { return master_; }

    void Send(const std::string& bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n > 0) done += static_cast<size_t>(n);
            else if (n < 0 && errno == EAGAIN) WaitFor(POLLOUT, 1000);
            else throw std::runtime_error("write to master");
        }
    }

    // Reads until n bytes have come or timeoutMs have passed.
    std::string Receive(size_t n, int timeoutMs) {
        std::string out;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (out.size() < n && std::chrono::steady_clock::now() < end) {
            char buffer[65536];
            const ssize_t got = ::read(master_, buffer, std::min(sizeof buffer, n - out.size()));
            if (got > 0) out.append(buffer, static_cast<size_t>(got));
            else WaitFor(POLLIN, 20);
        }
        return out;
    }

    void CloseMaster() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

private:
    void WaitFor(short events, int ms) {
        pollfd p{master_, events, 0};
        ::poll(&p, 1, ms);
    }

    int master_ = -1;
    std::string slavePath_;
};

// The component on a pty, on the real clock.
struct PtyRig {
    Pty pty;
    RealTimeHost host;
    TVaComm comm{host, TermiosTransports(host), [this](int) { return pty.SlavePath(); }};
};

inline double ProcessCpuMs() {
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

inline double WallMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// CPU share of the whole process (all threads) while body runs.
template <typename Body>
double CpuShare(Body body) {
    const double cpu = ProcessCpuMs(), wall = WallMs();
    body();
    return (ProcessCpuMs() - cpu) / (WallMs() - wall);
}

}  // namespace qvd::test
