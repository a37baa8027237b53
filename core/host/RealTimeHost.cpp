#include "core/host/RealTimeHost.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace qvd {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

uint64_t RealTimeHost::NowMs() {
    return static_cast<uint64_t>(
        std::chrono::duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

uint64_t RealTimeHost::Unwrap(uint32_t tick, uint64_t now) {
    const int32_t ahead = static_cast<int32_t>(tick - static_cast<uint32_t>(now));
    return ahead > 0 ? now + static_cast<uint64_t>(ahead) : now;
}

bool RealTimeHost::DispatchPosted(std::unique_lock<std::mutex>& lock) {
    if (posted_.empty()) return false;
    // Only what is queued now: a stream of posts must not keep the caller
    // here past its deadline. One at a time, so a callback that throws or
    // waits (nested) leaves the rest queued.
    for (size_t n = posted_.size(); n > 0 && !posted_.empty(); --n) {
        auto fn = std::move(posted_.front());
        posted_.pop_front();
        lock.unlock();
        fn();
        lock.lock();
    }
    return true;
}

void RealTimeHost::WaitAndDispatch(uint32_t deadline) {
    std::unique_lock lock(mutex_);
    const uint64_t until = Unwrap(deadline, NowMs());
    for (;;) {
        if (DispatchPosted(lock)) return;
        const uint64_t now = NowMs();
        if (!wakes_.empty() && *wakes_.begin() <= now) {
            wakes_.erase(wakes_.begin(), wakes_.upper_bound(now));
            auto handler = wake_;
            lock.unlock();
            if (handler) handler();
            return;
        }
        if (now >= until) return;
        const uint64_t wakeAt = wakes_.empty() ? until : std::min(until, *wakes_.begin());
        changed_.wait_until(lock, steady_clock::time_point(milliseconds(wakeAt)));
    }
}

void RealTimeHost::Sleep(uint32_t ms) { std::this_thread::sleep_for(milliseconds(ms)); }

void RealTimeHost::Post(std::function<void()> fn) {
    {
        std::lock_guard lock(mutex_);
        posted_.push_back(std::move(fn));
    }
    changed_.notify_all();
}

void RealTimeHost::ScheduleWake(uint32_t when) {
    {
        std::lock_guard lock(mutex_);
        wakes_.insert(Unwrap(when, NowMs()));
    }
    changed_.notify_all();
}

void RealTimeHost::ShowMessage(const std::string& title, const std::string& text, MessageIcon icon,
                               bool) {
    messages.push_back({title, text, icon, TickCount()});
}

LocalDateTime RealTimeHost::Now() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

void RealTimeHost::CloseMainWindow() {
    Post([this] {
        ++closeRequests;
        if (onCloseRequest) onCloseRequest();
    });
}

void RealTimeHost::RunFor(uint32_t ms) {
    const uint64_t end = NowMs() + ms;
    while (NowMs() < end) WaitAndDispatch(static_cast<uint32_t>(end));
}

bool RealTimeHost::RunUntil(const std::function<bool()>& pred, uint32_t maxMs) {
    const uint64_t end = NowMs() + maxMs;
    while (!pred()) {
        if (NowMs() >= end) return pred();
        WaitAndDispatch(static_cast<uint32_t>(end));
    }
    return true;
}

}  // namespace qvd
