#include "core/serial/RxWatcher.h"

#include "core/serial/EVaCommError.h"

#include <cerrno>
#include <cstdint>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>

namespace qvd {

namespace {

void CloseIfOpen(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

}  // namespace

RxWatcher::RxWatcher(int fd, Host& host, std::function<void()> onReceived, std::atomic<int>& failure)
    : host_(host), onReceived_(std::move(onReceived)), failure_(failure) {
    auto fail = [this](int err) {
        CloseIfOpen(stop_);
        CloseIfOpen(epoll_);
        throw EVaCommError(comm_errors::SettingEventMask(err), err);
    };
    epoll_ = ::epoll_create1(EPOLL_CLOEXEC);
    if (epoll_ < 0) fail(errno);
    stop_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (stop_ < 0) fail(errno);
    epoll_event stopEvent{};
    stopEvent.events = EPOLLIN;
    stopEvent.data.fd = stop_;
    if (::epoll_ctl(epoll_, EPOLL_CTL_ADD, stop_, &stopEvent) < 0) fail(errno);
    // Edge-triggered: one wake per arrival. Bytes that stay queued until the
    // next command exchange must not keep the thread (or the UI) busy.
    epoll_event portEvent{};
    portEvent.events = EPOLLIN | EPOLLET | EPOLLRDHUP | EPOLLHUP | EPOLLERR;
    portEvent.data.fd = fd;
    if (::epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &portEvent) < 0) fail(errno);
    try {
        thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error& e) {
        fail(e.code().value());
    }
}

RxWatcher::~RxWatcher() {
    const uint64_t one = 1;
    while (::write(stop_, &one, sizeof one) < 0 && errno == EINTR) {
    }
    thread_.join();
    CloseIfOpen(stop_);
    CloseIfOpen(epoll_);
}

void RxWatcher::Run() {
    epoll_event events[2];
    for (;;) {
        const int n = ::epoll_wait(epoll_, events, 2, -1);
        if (n < 0 && errno == EINTR) continue;
        int hangUp = 0;
        bool received = false;
        if (n < 0) hangUp = errno;  // cannot wait any more: treat the port as gone
        for (int i = 0; i < n; ++i) {
            if (events[i].data.fd == stop_) return;
            if (events[i].events & (EPOLLHUP | EPOLLERR | EPOLLRDHUP)) hangUp = EIO;
            if (events[i].events & EPOLLIN) received = true;
        }
        if (hangUp) {
            int none = 0;
            failure_.compare_exchange_strong(none, hangUp);
            host_.Post(onReceived_);
            return;  // a hung-up port stays readable for epoll: never watch it again
        }
        if (received) host_.Post(onReceived_);
    }
}

}  // namespace qvd
