#pragma once
// The soak process's own figures per cycle, and whether any of them grew
// across the run.
#include <string>
#include <vector>

namespace qvd::soak {

// The process as /proc and getrusage see it now.
struct Snapshot {
    long rssKiB = 0;
    int fds = 0, threads = 0;
    double cpuSeconds = 0;  // user + system, every thread
};
Snapshot TakeSnapshot();

struct CycleFigures {
    long rssKiB = 0;
    int fds = 0, threads = 0;
    double cpuMs = 0, wallS = 0;
    bool clean = false;  // no fault, planned or not: its CPU is comparable
};

// Which cycles are compared: the first stretch is warm-up, then an early
// window against the last one. From 10 cycles on, tenths; from 4, the first
// cycle is warm-up and the rest is halved; below, nothing is judged.
struct Windows {
    bool judged = false;
    size_t early = 0, late = 0, size = 0;  // first index of each, length of both
};
Windows WindowsOf(size_t cycles);

struct Judgement {
    std::vector<std::string> lines;  // one per figure
    std::vector<std::string> grown;  // the figures that grew
    bool judged = false;
};

// fds and threads may not grow at all (maxima), RSS by at most
// kRssAllowanceKiB (maxima), CPU of the clean cycles by at most
// kCpuAllowance plus kCpuSlackMs (medians).
inline constexpr long kRssAllowanceKiB = 512;
inline constexpr double kCpuAllowance = 0.25, kCpuSlackMs = 5;
Judgement JudgeGrowth(const std::vector<CycleFigures>& cycles);

}  // namespace qvd::soak
