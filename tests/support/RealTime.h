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
    const std::clock_t cpu = std::clock();
    const auto start = Clock::now();
    body();
    return (std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC / MsSince(start);
}

}  // namespace qvd::test
