#include "core/serial/SerialDevice.h"

#include "core/serial/EVaCommError.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/serial.h>
#include <optional>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace qvd {

namespace {

// Pseudo-terminals and some USB drivers have no modem lines or serial info.
bool Unsupported(int err) { return err == ENOTTY || err == EINVAL; }

[[noreturn]] void Raise(const std::string& text, int err) { throw EVaCommError(text, err); }

std::optional<serial_struct> SerialInfo(int fd) {
    serial_struct info{};
    if (::ioctl(fd, TIOCGSERIAL, &info) < 0) return std::nullopt;
    return info;
}

// Root passes TIOCEXCL, so the advisory lock is what keeps a second opener
// out; TIOCEXCL still stops other users' programs that do not lock.
void TakeExclusive(int fd, const std::string& path) {
    while (::flock(fd, LOCK_EX | LOCK_NB) < 0) {
        if (errno == EINTR) continue;
        // Report a held port as busy, as TIOCEXCL would for a normal user.
        const int err = errno == EWOULDBLOCK ? EBUSY : errno;
        Raise(comm_errors::CantOpen(path, err), err);
    }
    if (::ioctl(fd, TIOCEXCL) < 0) {
        const int err = errno;
        ::flock(fd, LOCK_UN);
        Raise(comm_errors::CantOpen(path, err), err);
    }
}

void RequestLowLatency(int fd, serial_struct info) {
    if (info.flags & ASYNC_LOW_LATENCY) return;
    info.flags |= ASYNC_LOW_LATENCY;
    ::ioctl(fd, TIOCSSERIAL, &info);  // a driver that refuses just stays slower
}

void ApplyLine(int fd) {
    termios tio{};
    if (::tcgetattr(fd, &tio) < 0) Raise(comm_errors::WritingDcb(errno), errno);
    ::cfmakeraw(&tio);
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK);
    tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL);  // no HUPCL: DTR stays down at close
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::cfsetispeed(&tio, B57600) < 0 || ::cfsetospeed(&tio, B57600) < 0)
        Raise(comm_errors::WritingDcb(errno), errno);
    if (::tcsetattr(fd, TCSANOW, &tio) < 0) Raise(comm_errors::WritingDcb(errno), errno);
    // tcsetattr succeeds when any part was taken; a driver may refuse the rate.
    termios now{};
    if (::tcgetattr(fd, &now) < 0) Raise(comm_errors::WritingDcb(errno), errno);
    if (::cfgetospeed(&now) != B57600 || (now.c_cflag & CSIZE) != CS8)
        Raise(comm_errors::WritingDcb(EINVAL), EINVAL);
}

void DropModemLines(int fd) {
    const int lines = TIOCM_DTR | TIOCM_RTS;
    if (::ioctl(fd, TIOCMBIC, &lines) < 0 && !Unsupported(errno))
        Raise(comm_errors::WritingDcb(errno), errno);
}

}  // namespace

int OpenSerialDevice(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        if (err == ENOENT || err == ENODEV || err == ENXIO)
            Raise(comm_errors::DeviceNotFound(path), err);
        Raise(comm_errors::CantOpen(path, err), err);
    }
    const std::optional<serial_struct> info = SerialInfo(fd);
    // Legacy /dev/ttyS nodes exist whether or not a UART is behind them.
    if (info && info->type == PORT_UNKNOWN) {
        ::close(fd);
        Raise(comm_errors::DeviceNotFound(path), ENODEV);
    }
    try {
        TakeExclusive(fd, path);
    } catch (...) {
        // Not ours: leave the holder's exclusive mode alone.
        ::close(fd);
        throw;
    }
    try {
        if (info) RequestLowLatency(fd, *info);
        ApplyLine(fd);
        DropModemLines(fd);
        if (::tcflush(fd, TCIFLUSH) < 0) Raise(comm_errors::InitBuffers(errno), errno);
    } catch (...) {
        ReleaseSerialDevice(fd);
        throw;
    }
    return fd;
}

void ReleaseSerialDevice(int fd) {
    if (fd < 0) return;
    // The last close of a real port waits up to 30 s for unsent output; a
    // write that timed out must not make Close hang.
    ::tcflush(fd, TCOFLUSH);
    // A pseudo-terminal keeps its flags while the other end is open; without
    // this, the next open by a normal user would fail with EBUSY.
    ::ioctl(fd, TIOCNXCL);
    ::flock(fd, LOCK_UN);
    ::close(fd);
}

}  // namespace qvd
