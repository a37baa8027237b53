#include "core/host/EventPump.h"

#include <algorithm>

namespace qvd {

uint32_t ElapsedTicks(uint32_t start, uint32_t now) {
    if (now >= start) return now - start;
    return now + (0xFFFFFFFFu - start);
}

EventPump::EventPump(Host& host) : host_(host) {
    host_.SetWakeHandler([this] { RunDueTimers(); });
}

void EventPump::DelayWithEvents(uint32_t ms, const std::function<bool()>& over) {
    const uint32_t start = host_.TickCount();
    for (;;) {
        const uint32_t now = host_.TickCount();
        // The first pass dispatches even when no time is left to wait.
        uint32_t remaining = 0;
        const uint32_t elapsed = ElapsedTicks(start, now);
        if (elapsed <= ms) remaining = ms - elapsed + 1;
        host_.WaitAndDispatch(now + remaining);
        if (ElapsedTicks(start, host_.TickCount()) > ms || (over && over())) return;
    }
}

void EventPump::RunDueTimers() {
    const uint32_t start = host_.TickCount();
    const bool anyDue = std::any_of(timers_.begin(), timers_.end(), [start](const Timer* t) {
        return t->enabled_ && static_cast<int32_t>(start - t->due_) >= 0;
    });
    if (!anyDue) return;  // the usual case: no copy to make
    // Copy: a handler may enable, disable or destroy timers.
    const std::vector<Timer*> snapshot = timers_;
    for (Timer* timer : snapshot) {
        if (std::find(timers_.begin(), timers_.end(), timer) == timers_.end()) continue;
        if (!timer->enabled_) continue;
        const uint32_t now = host_.TickCount();
        if (static_cast<int32_t>(now - timer->due_) < 0) continue;
        timer->due_ = now + timer->interval_;
        host_.ScheduleWake(timer->due_);
        if (timer->OnTimer) timer->OnTimer();
    }
}

void EventPump::Register(Timer* timer) { timers_.push_back(timer); }

void EventPump::Unregister(Timer* timer) {
    timers_.erase(std::remove(timers_.begin(), timers_.end(), timer), timers_.end());
}

void EventPump::Reschedule(Timer* timer) {
    timer->due_ = host_.TickCount() + timer->interval_;
    if (timer->enabled_) host_.ScheduleWake(timer->due_);
}

Timer::Timer(EventPump& pump, uint32_t interval) : pump_(pump), interval_(interval) {
    pump_.Register(this);
}

Timer::~Timer() { pump_.Unregister(this); }

void Timer::SetEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    if (on) pump_.Reschedule(this);
}

void Timer::SetInterval(uint32_t ms) {
    if (ms == interval_) return;
    interval_ = ms;
    pump_.Reschedule(this);
}

}  // namespace qvd
