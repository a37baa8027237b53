#pragma once
// Measures for tests that must run in real time.
#include <chrono>
#include <ctime>

namespace qvd::test {

using Clock = std::chrono::steady_clock;

inline double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// CPU share of the whole process (all threads) while body runs.
template <typename Body>
double CpuShare(Body body) {
    const auto cpuMs = [] {
        timespec ts{};
        ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
        return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
    };
    const double cpu = cpuMs();
    const auto start = Clock::now();
    body();
    return (cpuMs() - cpu) / MsSince(start);
}

}  // namespace qvd::test
