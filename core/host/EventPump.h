#pragma once
// Waiting with the event loop turning, and the program's own timers. Timer
// ticks are delivered through the host's wake-ups, so a tick that falls due
// while a handler waits in DelayWithEvents runs right there, nested.
#include "core/host/Host.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace qvd {

class Timer;

// Elapsed ticks as the wait loop counts them: after a wrap of the 32-bit
// counter the sum now + (0xFFFFFFFF - start) is taken, one short of the true
// distance. A wait across the wrap thus lasts one tick longer; that happens
// once in 49.7 days and errs on the long side, which no answer time minds,
// so the rule stays one expression instead of a special case.
uint32_t ElapsedTicks(uint32_t start, uint32_t now);

class EventPump {
public:
    explicit EventPump(Host& host);
    EventPump(const EventPump&) = delete;
    EventPump& operator=(const EventPump&) = delete;

    Host& host() { return host_; }
    uint32_t Now() { return host_.TickCount(); }

    // Waits until more than `ms` ticks have passed, dispatching events (and
    // with them timer ticks) all the while. Never spins: the host blocks in its
    // event wait up to the next deadline. With `over`, the wait also ends as
    // soon as it holds after an event (a port that hung up has no answer to
    // wait for).
    void DelayWithEvents(uint32_t ms, const std::function<bool()>& over = {});

    // Fires every enabled timer that is due. Called on host wake-ups.
    void RunDueTimers();

private:
    friend class Timer;
    void Register(Timer* timer);
    void Unregister(Timer* timer);
    void Reschedule(Timer* timer);

    Host& host_;
    std::vector<Timer*> timers_;
};

// A periodic timer on the user-interface thread. Its ticks run through the
// host's wake-ups, so they also fall due inside a DelayWithEvents.
class Timer {
public:
    explicit Timer(EventPump& pump, uint32_t interval = 1000);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    uint32_t Interval() const { return interval_; }
    // A new interval restarts the count: the enumeration tick comes 100 ms
    // after the start tick, not at the old due time.
    void SetInterval(uint32_t ms);

    std::function<void()> OnTimer;

private:
    friend class EventPump;
    EventPump& pump_;
    uint32_t interval_;
    bool enabled_ = false;
    uint32_t due_ = 0;
};

}  // namespace qvd
