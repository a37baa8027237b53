#pragma once
// Measures for what runs in real time.
#include <chrono>
#include <ctime>
#include <functional>
#include <sys/resource.h>
#include <thread>

namespace qvd::test {

using SteadyClock = std::chrono::steady_clock;

inline double MsSince(SteadyClock::time_point start) {
    return std::chrono::duration<double, std::milli>(SteadyClock::now() - start).count();
}

// CPU seconds of this whole process (every thread) so far.
inline double ProcessCpuSeconds() {
    rusage use{};
    ::getrusage(RUSAGE_SELF, &use);
    return double(use.ru_utime.tv_sec + use.ru_stime.tv_sec) + (use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
}

// CPU share of the whole process (all threads) while body runs.
template <typename Body>
double CpuShare(Body body) {
    const double cpu = ProcessCpuSeconds();
    const auto start = SteadyClock::now();
    body();
    return (ProcessCpuSeconds() - cpu) * 1000.0 / MsSince(start);
}

// Polls pred every few milliseconds (for conditions outside the program).
inline bool WaitFor(const std::function<bool()>& pred, int ms) {
    for (const auto start = SteadyClock::now(); !pred(); std::this_thread::sleep_for(std::chrono::milliseconds(2)))
        if (MsSince(start) > ms) return pred();
    return true;
}

}  // namespace qvd::test
