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

// Which cycles are compared: the first part is warm-up, the second is
// compared with the last. With fewer cycles than parts (but at least 4) the
// first cycle is warm-up and the rest is halved; below 4 nothing is judged.
struct Windows {
    bool judged = false;
    size_t early = 0, late = 0, size = 0;  // first index of each, length of both
};
Windows WindowsOf(size_t cycles, size_t parts);

struct Judgement {
    std::vector<std::string> lines;  // one per figure
    std::vector<std::string> grown;  // the figures that grew
    bool judged = false;
};

// Over tenths of the run, fds and threads may not grow at all (highest of
// each window), RSS by at most kRssAllowanceKiB (highest). CPU is judged
// over quarters of the cycles without a fault, by the least of each window,
// which may grow by at most kCpuAllowance plus kCpuSlackMs: on a virtual
// machine a task switch costs what the host lets it, so a cycle's CPU
// only ever gains from the noise, and the least is what the work costs.
inline constexpr long kRssAllowanceKiB = 512;
inline constexpr double kCpuAllowance = 0.25, kCpuSlackMs = 5;
Judgement JudgeGrowth(const std::vector<CycleFigures>& cycles);

}  // namespace qvd::soak
