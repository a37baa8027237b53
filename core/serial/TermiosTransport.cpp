#include "core/serial/TermiosTransport.h"

#include "core/serial/EVaCommError.h"
#include "core/serial/RxWatcher.h"
#include "core/serial/SerialDevice.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace qvd {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

using ErrorText = std::string (*)(int);

// Line time of n bytes at 57600 baud (10 bits a byte).
milliseconds LineTime(int bytes) { return milliseconds(bytes * 1000 / 5760); }

class TermiosTransport final : public SerialTransport {
public:
    explicit TermiosTransport(Host& host) : host_(host) {}
    ~TermiosTransport() override { Close(); }

    void Open(const std::string& device, std::function<void()> onReceived) override {
        Close();
        fd_ = OpenSerialDevice(device);
        failure_ = 0;
        try {
            watcher_ = std::make_unique<RxWatcher>(fd_, host_, std::move(onReceived), failure_);
        } catch (...) {
            ReleaseSerialDevice(fd_);
            fd_ = -1;
            throw;
        }
    }

    void Close() override {
        if (fd_ < 0) return;
        watcher_.reset();
        ReleaseSerialDevice(fd_);
        fd_ = -1;
    }

    bool Write(const std::string& bytes, int timeoutMs) override {
        ThrowIfFailed(comm_errors::WriteError);
        const auto deadline = Clock::now() + milliseconds(timeoutMs);
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<size_t>(n);
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else if (n < 0 && errno == EAGAIN) {
                if (!WaitWritable(deadline)) return false;
            } else {
                Fail(comm_errors::WriteError, n < 0 ? errno : EIO);
            }
        }
        return WaitDrained(deadline);
    }

    int InputCount() override {
        ThrowIfFailed(comm_errors::Statistics);
        int waiting = 0;
        if (::ioctl(fd_, FIONREAD, &waiting) < 0) Fail(comm_errors::Statistics, errno);
        return waiting;
    }

    std::string Read(int n) override {
        ThrowIfFailed(comm_errors::ReadError);
        std::string out(static_cast<size_t>(std::max(n, 0)), '\0');
        size_t got = 0;
        while (got < out.size()) {
            const ssize_t r = ::read(fd_, out.data() + got, out.size() - got);
            if (r > 0) {
                got += static_cast<size_t>(r);
            } else if (r < 0 && errno == EINTR) {
                continue;
            } else if (r < 0 && errno == EAGAIN) {
                break;
            } else if (r == 0 && (got > 0 || !HungUp())) {
                break;  // with VMIN=0 a read with nothing (more) waiting returns 0
            } else {
                // Nothing although bytes were counted: the line has hung up.
                Fail(comm_errors::ReadError, r < 0 ? errno : EIO);
            }
        }
        out.resize(got);
        return out;
    }

private:
    // A 0 from read means nothing is waiting, or the line is gone.
    bool HungUp() const {
        pollfd p{fd_, POLLIN, 0};
        return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    }

    void ThrowIfFailed(ErrorText text) {
        if (const int err = failure_.load()) throw EVaCommError(text(err), err);
    }

    [[noreturn]] void Fail(ErrorText text, int err) {
        int none = 0;
        failure_.compare_exchange_strong(none, err);
        throw EVaCommError(text(err), err);
    }

    static int RemainingMs(Clock::time_point deadline) {
        const auto left = std::chrono::ceil<milliseconds>(deadline - Clock::now()).count();
        return static_cast<int>(std::max<long long>(left, 0));
    }

    bool WaitWritable(Clock::time_point deadline) {
        for (;;) {
            const int left = RemainingMs(deadline);
            if (left == 0) return false;
            pollfd p{fd_, POLLOUT, 0};
            const int r = ::poll(&p, 1, left);
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) Fail(comm_errors::WriteError, errno);
            if (r == 0) return false;
            if (p.revents & POLLOUT) return true;
            Fail(comm_errors::WriteError, EIO);  // hang-up or error without room
        }
    }

    // Waits until the driver has sent everything: the output queue, and on a
    // UART that can tell, its shift register too.
    bool WaitDrained(Clock::time_point deadline) {
        for (;;) {
            int queued = 0;
            if (::ioctl(fd_, TIOCOUTQ, &queued) < 0) {
                if (errno == EIO) Fail(comm_errors::WriteError, EIO);
                queued = 0;  // driver cannot tell
            }
            if (queued == 0 && TransmitterEmpty()) return true;
            const auto now = Clock::now();
            if (now >= deadline) return false;
            const milliseconds pause = std::clamp(LineTime(queued), milliseconds(1), milliseconds(20));
            std::this_thread::sleep_for(std::min<Clock::duration>(pause, deadline - now));
        }
    }

    bool TransmitterEmpty() {
        int status = 0;
        if (::ioctl(fd_, TIOCSERGETLSR, &status) < 0) {
            if (errno == EIO) Fail(comm_errors::WriteError, EIO);
            return true;  // USB adapters and pseudo-terminals do not report it
        }
        return (status & TIOCSER_TEMT) != 0;
    }

    Host& host_;
    int fd_ = -1;
    // Set by the watcher on a hang-up, or here on an I/O error; from then on
    // every call raises with this errno.
    std::atomic<int> failure_{0};
    std::unique_ptr<RxWatcher> watcher_;
};

}  // namespace

TransportFactory TermiosTransports(Host& host) {
    return [&host](const std::string&) -> std::unique_ptr<SerialTransport> {
        return std::make_unique<TermiosTransport>(host);
    };
}

}  // namespace qvd
