// qvd_soak: qvd-cli's operations, run again and again in this one process
// against qvd-sim at the line rate, until the time is up. Fails when any
// outcome was wrong or when the process's memory, descriptors, threads or
// CPU per cycle grew (docs/RELIABILITY.md, "Soak").
//
//   qvd_soak [--minutes M] [--csv FILE] [--program-log FILE] [--seed N] [--fault-every N]
#include "bench/soak/Cycle.h"
#include "bench/soak/Figures.h"
#include "cli/SignalWatch.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <random>
#include <unistd.h>

using namespace qvd;
using namespace qvd::soak;

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

struct Args {
    double minutes = 10;
    std::string csv, programLog;
    uint32_t seed = std::random_device{}();
    int faultEvery = kFaultEvery;
};

bool Parse(int argc, char** argv, Args& a) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i], value = argv[i + 1];
        if (name == "--minutes") a.minutes = std::atof(value.c_str());
        else if (name == "--csv") a.csv = value;
        else if (name == "--program-log") a.programLog = value;
        else if (name == "--fault-every") a.faultEvery = std::atoi(value.c_str());
        else if (name == "--seed") a.seed = static_cast<uint32_t>(std::strtoul(value.c_str(), nullptr, 10));
        else return false;
    }
    return argc % 2 == 1 && a.minutes > 0 && a.faultEvery > 0;
}

}  // namespace

int main(int argc, char** argv) {
    Args args;
    if (!Parse(argc, argv, args)) {
        std::fprintf(stderr, "usage: qvd_soak [--minutes M] [--csv FILE] [--program-log FILE] [--seed N] [--fault-every N]\n");
        return 64;
    }
    // Before any thread exists, as in qvd-cli: a Ctrl-C reaches the
    // operation running, and the soak cleans up after it.
    cli::SignalWatch signals;
    SignalRelay relay;
    signals.Start([&relay](int signal) { relay.Deliver(signal); });

    // The program's boxes go to its standard error; kept apart from the
    // soak's lines.
    if (!args.programLog.empty()) {
        const int fd = ::open(args.programLog.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0 || ::dup2(fd, STDERR_FILENO) < 0) {
            std::printf("qvd_soak: cannot write %s\n", args.programLog.c_str());
            return 64;
        }
        ::close(fd);
    }
    FILE* csv = args.csv.empty() ? nullptr : std::fopen(args.csv.c_str(), "we");
    if (!args.csv.empty() && !csv) {
        std::printf("qvd_soak: cannot write %s\n", args.csv.c_str());
        return 64;
    }
    if (csv) std::fprintf(csv, "cycle,fault,outcome,rss_kib,fds,threads,cpu_ms,wall_s\n");

    CycleRunner runner(QVD_SIM_PATH, args.seed, args.faultEvery, relay);
    std::printf("qvd_soak: qvd-cli's operations in this process against qvd-sim (type 3, line rate), %g min, seed %u,\n"
                "  a fault every %d cycles\n",
                args.minutes, args.seed, args.faultEvery);
    if (!runner.Start()) {
        std::printf("qvd_soak: qvd-sim does not start (%s)\n", QVD_SIM_PATH);
        return 1;
    }
    std::printf("%5s  %-26s %-9s %8s %4s %7s %7s %7s\n", "cycle", "fault", "outcome", "RSS KiB", "fds", "threads", "CPU ms",
                "wall s");
    std::fflush(stdout);

    const auto start = Clock::now();
    std::vector<CycleFigures> figures;
    std::map<std::string, int> faults;
    int wrong = 0;
    bool falseResult = false;
    for (int cycle = 1; SecondsSince(start) < args.minutes * 60 && !relay.signal(); ++cycle) {
        const std::optional<Fault> fault = FaultOfCycle(cycle, args.faultEvery);
        const Snapshot before = TakeSnapshot();
        const auto began = Clock::now();
        const CycleReport report = runner.Run(cycle);
        const double wall = SecondsSince(began);
        const Snapshot after = TakeSnapshot();
        if (report.stopped) break;  // by a signal: not judged

        CycleFigures f{after.rssKiB, after.fds, after.threads, (after.cpuSeconds - before.cpuSeconds) * 1e3, wall,
                       !fault && !report.external};
        figures.push_back(f);
        if (fault) ++faults[fault->name];
        wrong += report.wrong || report.falseSuccess || runner.broken();
        const std::string faultName = fault ? fault->name : "-";
        std::printf("%5d  %-26s %-9s %8ld %4d %7d %7.0f %7.1f\n", cycle, faultName.c_str(), report.outcome.c_str(), f.rssKiB,
                    f.fds, f.threads, f.cpuMs, f.wallS);
        for (const std::string& note : report.notes) std::printf("       %s\n", note.c_str());
        std::fflush(stdout);
        if (csv) {
            std::fprintf(csv, "%d,%s,%s,%ld,%d,%d,%.1f,%.2f\n", cycle, faultName.c_str(), report.outcome.c_str(), f.rssKiB,
                         f.fds, f.threads, f.cpuMs, f.wallS);
            std::fflush(csv);
        }
        // A reported result that is not true ends the soak at once.
        if (report.falseSuccess || runner.broken()) {
            falseResult = report.falseSuccess;
            break;
        }
    }
    signals.Stop();
    if (csv) std::fclose(csv);

    std::string faultList;
    int faultCount = 0;
    for (const auto& [name, n] : faults) {
        faultList += (faultList.empty() ? "" : ", ") + name + (n > 1 ? " x" + std::to_string(n) : "");
        faultCount += n;
    }
    std::printf("cycles: %zu in %.1f min; faults: %d%s; adapter killed from outside: %d times; wrong outcomes: %d\n",
                figures.size(), SecondsSince(start) / 60, faultCount, faultList.empty() ? "" : (" (" + faultList + ")").c_str(),
                runner.externalDeaths(), wrong);
    if (!figures.empty())
        std::printf("figures, first and last cycle: RSS %ld -> %ld KiB, fds %d -> %d, threads %d -> %d, CPU %.0f -> %.0f ms\n",
                    figures.front().rssKiB, figures.back().rssKiB, figures.front().fds, figures.back().fds,
                    figures.front().threads, figures.back().threads, figures.front().cpuMs, figures.back().cpuMs);
    const Judgement growth = JudgeGrowth(figures);
    for (const std::string& line : growth.lines) std::printf("  %s\n", line.c_str());
    std::string grown;
    for (const std::string& g : growth.grown) grown += (grown.empty() ? "" : ", ") + g;
    std::printf("growth: %s\n", !growth.judged ? "not judged (fewer than 4 cycles)" : grown.empty() ? "none" : grown.c_str());
    if (relay.signal()) std::printf("qvd_soak: stopped by signal %d; the cycle it came in is not judged\n", relay.signal());
    if (falseResult) std::printf("qvd_soak: stopped at once: the program reported a result that is not true\n");
    std::fflush(stdout);
    if (relay.signal()) return 128 + relay.signal();
    return wrong == 0 && grown.empty() ? 0 : 1;
}
