#pragma once
// The port's notification thread: waits for received bytes or a hang-up and
// hands each wake to the user-interface thread through Host::Post. It reads
// nothing and touches no program data.
#include "core/host/Host.h"

#include <atomic>
#include <functional>
#include <thread>

namespace qvd {

class RxWatcher {
public:
    // Starts watching fd. On a hang-up it stores the errno in `failure`, posts
    // one last notification and stops. Raises EVaCommError (event mask text)
    // when the thread cannot be set up.
    RxWatcher(int fd, Host& host, std::function<void()> onReceived, std::atomic<int>& failure);
    // Stops and joins the thread; nothing is posted after this returns.
    ~RxWatcher();
    RxWatcher(const RxWatcher&) = delete;
    RxWatcher& operator=(const RxWatcher&) = delete;

private:
    void Run();

    Host& host_;
    std::function<void()> onReceived_;
    std::atomic<int>& failure_;
    int epoll_ = -1;
    int stop_ = -1;
    std::thread thread_;
};

}  // namespace qvd
