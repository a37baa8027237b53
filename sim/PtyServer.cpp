#include "sim/PtyServer.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <stdexcept>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace qvd::sim {

namespace {

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

}  // namespace

PtyServer::PtyServer(QvdDevice& device, bool paced)
    : device_(device), queue_(paced ? kLineBytesPerSecond : 0) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) Fail("posix_openpt");
    try {
        if (::grantpt(master_) < 0) Fail("grantpt");
        if (::unlockpt(master_) < 0) Fail("unlockpt");
        char name[128];
        if (::ptsname_r(master_, name, sizeof name) != 0) Fail("ptsname");
        slavePath_ = name;
        spareSlave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (spareSlave_ < 0) Fail(slavePath_);
        // Raw from the start, so that a PC that sets nothing gets no echo.
        termios tio{};
        if (::tcgetattr(spareSlave_, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::cfsetspeed(&tio, B57600);
            ::tcsetattr(spareSlave_, TCSANOW, &tio);
        }
        const int flags = ::fcntl(master_, F_GETFL);
        if (flags < 0 || ::fcntl(master_, F_SETFL, flags | O_NONBLOCK) < 0) Fail("fcntl");
    } catch (...) {
        if (spareSlave_ >= 0) ::close(spareSlave_);
        ::close(master_);
        throw;
    }
    device_.send = [this](const std::string& bytes) { queue_.Push(bytes, NowNs()); };
    device_.sendGap = [this](uint32_t ms) { queue_.PushGap(int64_t{ms} * 1'000'000, NowNs()); };
    device_.vanish = [this] { vanishing_ = true; };
}

PtyServer::~PtyServer() {
    device_.send = nullptr;
    device_.sendGap = nullptr;
    device_.vanish = nullptr;
    ::close(spareSlave_);
    ::close(master_);
}

void PtyServer::Run(int stopFd) {
    for (;;) {
        SendDue();
        if (vanishing_ && Drained()) {
            vanished_ = true;
            return;
        }
        int timeout = -1;
        if (ReadyEmpty()) {
            if (auto due = queue_.NextDueNs()) {
                const int64_t wait = *due - NowNs();
                // At least 2 ms: a dozen bytes per wake is plenty of smoothness.
                timeout = wait <= 0 ? 0 : static_cast<int>(std::clamp<int64_t>((wait + 999'999) / 1'000'000, 2, INT_MAX));
            } else if (vanishing_) {
                timeout = 10;  // watch the PC read the last bytes
            }
        }
        pollfd fds[2] = {{master_, static_cast<short>(POLLIN | (ReadyEmpty() ? 0 : POLLOUT)), 0},
                         {stopFd, POLLIN, 0}};
        const int n = ::poll(fds, 2, timeout);
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail("poll");
        }
        if (fds[1].revents) return;
        if (fds[0].revents & POLLIN) ReadFromPc();
        if (fds[0].revents & (POLLHUP | POLLERR)) {
            // Cannot happen while the spare slave is open; if it does, back
            // off instead of spinning on a hung-up master.
            ::poll(&fds[1], 1, 100);
        }
    }
}

bool PtyServer::Drained() {
    if (!queue_.Empty() || !ReadyEmpty()) {
        drainedSinceNs_ = emptySinceNs_ = 0;
        return false;
    }
    // Closing the master drops what the PC has not read yet; give it two
    // seconds to read the bytes sent before the device vanished. Bytes
    // written to the master reach the slave's queue a little later, so an
    // empty queue counts only once it has stayed empty for a while.
    const int64_t now = NowNs();
    if (drainedSinceNs_ == 0) drainedSinceNs_ = now;
    int unread = 0;
    if (::ioctl(spareSlave_, FIONREAD, &unread) < 0) unread = 0;
    if (unread > 0) emptySinceNs_ = 0;
    else if (emptySinceNs_ == 0) emptySinceNs_ = now;
    const bool settled = emptySinceNs_ != 0 && now - emptySinceNs_ > 200'000'000;
    return settled || now - drainedSinceNs_ > 2'000'000'000;
}

void PtyServer::ReadFromPc() {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 0) {
            device_.Receive(std::string(buffer, static_cast<size_t>(n)));
            if (afterReceive) afterReceive();
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return;  // EAGAIN, or EIO while no slave is open
    }
}

void PtyServer::SendDue() {
    if (ReadyEmpty()) {
        ready_ = queue_.TakeDue(NowNs());
        readyHead_ = 0;
    } else {
        ready_ += queue_.TakeDue(NowNs());
    }
    while (!ReadyEmpty()) {
        // Unpaced, a whole stream goes to the pty in writes as large as it takes.
        const ssize_t n = ::write(master_, ready_.data() + readyHead_, ready_.size() - readyHead_);
        if (n > 0) {
            readyHead_ += static_cast<size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            return;  // full: poll waits for room
        } else {
            readyHead_ = ready_.size();  // nobody on the line: the bytes are lost, as on a cable
            return;
        }
    }
}

}  // namespace qvd::sim
