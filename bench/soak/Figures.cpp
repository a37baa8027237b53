#include "bench/soak/Figures.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>

namespace qvd::soak {

namespace {

// A "Name:   value" line of /proc/self/status.
long StatusField(const std::string& name) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with(name + ":")) return std::stol(line.substr(name.size() + 1));
    return -1;
}

int OpenFds() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
    return count - 1;  // the listing's own
}

template <typename T, typename Of>
std::vector<T> Slice(const std::vector<CycleFigures>& cycles, size_t from, size_t size, Of of) {
    std::vector<T> values;
    for (size_t i = from; i < from + size; ++i) values.push_back(of(cycles[i]));
    return values;
}

template <typename T>
T Max(const std::vector<T>& values) { return *std::max_element(values.begin(), values.end()); }

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string Range(const Windows& w, size_t from) {
    return std::to_string(from + 1) + (w.size > 1 ? "-" + std::to_string(from + w.size) : "");
}

}  // namespace

Snapshot TakeSnapshot() {
    rusage use{};
    ::getrusage(RUSAGE_SELF, &use);
    Snapshot s;
    s.rssKiB = StatusField("VmRSS");
    s.threads = static_cast<int>(StatusField("Threads"));
    s.fds = OpenFds();
    s.cpuSeconds = double(use.ru_utime.tv_sec + use.ru_stime.tv_sec) + (use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
    return s;
}

Windows WindowsOf(size_t n, size_t parts) {
    Windows w;
    if (n >= parts) {
        w.size = n / parts;
        w.early = w.size;
    } else if (n >= 4) {
        w.size = (n - 1) / 2;
        w.early = 1;
    } else {
        return w;
    }
    w.late = n - w.size;
    w.judged = true;
    return w;
}

Judgement JudgeGrowth(const std::vector<CycleFigures>& cycles) {
    Judgement j;
    const Windows w = WindowsOf(cycles.size(), 10);
    if (!w.judged) return j;
    j.judged = true;
    char line[240];
    const std::string warmUp = w.early > 1 ? "1-" + std::to_string(w.early) : "1";
    std::snprintf(line, sizeof line, "windows: cycles %s against %s (warm-up: %s)", Range(w, w.early).c_str(),
                  Range(w, w.late).c_str(), warmUp.c_str());
    j.lines.push_back(line);

    const auto maxOf = [&](size_t from, auto of) { return Max(Slice<long>(cycles, from, w.size, of)); };
    const long rss0 = maxOf(w.early, [](const CycleFigures& c) { return c.rssKiB; });
    const long rss1 = maxOf(w.late, [](const CycleFigures& c) { return c.rssKiB; });
    const bool rssGrew = rss1 - rss0 > kRssAllowanceKiB;
    std::snprintf(line, sizeof line, "RSS, highest: %ld -> %ld KiB (allowed: +%ld KiB): %s", rss0, rss1, kRssAllowanceKiB,
                  rssGrew ? "GROWN" : "ok");
    j.lines.push_back(line);
    if (rssGrew) j.grown.push_back("RSS");

    for (const auto& [name, of] : {std::pair<const char*, long (*)(const CycleFigures&)>{"fds", [](const CycleFigures& c) { return long(c.fds); }},
                                   {"threads", [](const CycleFigures& c) { return long(c.threads); }}}) {
        const long a = maxOf(w.early, of), b = maxOf(w.late, of);
        std::snprintf(line, sizeof line, "%s, highest: %ld -> %ld (allowed: no growth): %s", name, a, b, b > a ? "GROWN" : "ok");
        j.lines.push_back(line);
        if (b > a) j.grown.push_back(name);
    }

    // CPU from the clean cycles alone: a fault's cycle waits and works
    // differently.
    std::vector<CycleFigures> clean;
    std::copy_if(cycles.begin(), cycles.end(), std::back_inserter(clean), [](const CycleFigures& c) { return c.clean; });
    const Windows cw = WindowsOf(clean.size(), 4);
    if (!cw.judged) {
        j.lines.push_back("CPU per cycle: not judged (fewer than 4 cycles without a fault)");
        return j;
    }
    const auto cpuOf = [](const CycleFigures& c) { return c.cpuMs; };
    const std::vector<double> early = Slice<double>(clean, cw.early, cw.size, cpuOf);
    const std::vector<double> late = Slice<double>(clean, cw.late, cw.size, cpuOf);
    const double cpu0 = *std::min_element(early.begin(), early.end()), cpu1 = *std::min_element(late.begin(), late.end());
    const double allowed = cpu0 * (1 + kCpuAllowance) + kCpuSlackMs;
    std::snprintf(line, sizeof line,
                  "CPU per cycle without a fault, least of %zu each: %.0f -> %.0f ms (medians %.0f -> %.0f; allowed: up to "
                  "%.0f ms): %s",
                  cw.size, cpu0, cpu1, Median(early), Median(late), allowed, cpu1 > allowed ? "GROWN" : "ok");
    j.lines.push_back(line);
    if (cpu1 > allowed) j.grown.push_back("CPU");
    return j;
}

}  // namespace qvd::soak
