#pragma once
// One soak cycle: the technician's round of operations through qvd-cli's
// session against qvd-sim, every reported result checked against what the
// soak knows is in the module, and on every fifth cycle one fault of the
// adapter or the line whose outcome is asserted.
#include "bench/soak/CliRun.h"
#include "bench/soak/SimProcess.h"
#include "testkit/ScratchDir.h"

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace qvd::soak {

// What a fault must lead to in the operation it hits (the cycle's first
// save). {sum} stands for the RAM's byte sum in four hex digits.
struct Fault {
    std::string name;  // as the cycle's line shows it
    std::vector<std::string> simOptions;
    bool kill = false;  // the adapter is killed 1 s into the save's stream
    int status = 0;
    Outcome outcome = Outcome::Succeeded;
    std::vector<std::string> logged, neverLogged;  // beginnings of log lines
    std::string box;                               // the one box; empty: none
    std::vector<std::pair<std::string, int>> took;  // commands the adapter took, how often
    int portFailures = 0;                           // log lines telling a failed port
    bool nextMayFail = false;  // the rest of a stream is still on its way then
};

// The fault of a cycle (counted from 1): every `every`th, in rotation.
inline constexpr int kFaultEvery = 5;
std::optional<Fault> FaultOfCycle(int cycle, int every = kFaultEvery);

struct CycleReport {
    std::string outcome;             // ok, fault-ok, external, WRONG, FALSE-SUCCESS, stopped
    std::vector<std::string> notes;  // what did not simply succeed, and why that is right or wrong
    bool wrong = false, falseSuccess = false, external = false, stopped = false;
};

class CycleRunner {
public:
    CycleRunner(const std::string& simPath, uint32_t seed, int faultEvery, SignalRelay& relay);
    // Starts the adapter the cycles begin with; false when it cannot start.
    bool Start();
    CycleReport Run(int cycle);
    // The adapter could not be started again: the soak cannot go on.
    bool broken() const { return broken_; }
    int externalDeaths() const { return externalDeaths_; }

private:
    struct Step;
    CliRun Op(const std::vector<std::string>& args);
    // Judges one operation: what it reported against the truth, its exit
    // status against what was expected. Returns false to end the cycle.
    bool Judge(Step& step, const CliRun& run, const std::string& dataProblem);
    // A new run of the adapter holding the truth; `options` for a fault.
    void Restart(const std::vector<std::string>& options = {});
    // After each operation: true when the adapter died without the soak's
    // kill (counted as a fault from outside).
    bool AdapterDied();
    std::string Expand(const std::string& text) const;

    std::string RandomImage();
    unsigned Below(unsigned n);  // at random, 0 to n-1
    std::string SaveCheck(const CliRun& run, const std::string& file) const;
    std::string CompareCheck(const CliRun& run, const std::string& file) const;
    std::string ViewCheck(const CliRun& run, unsigned start, unsigned end) const;
    std::string ClockCheck(const CliRun& run) const;

    test::ScratchDir dir_{"qvd-soak"};
    SimProcess sim_;
    const std::string pattern_;
    const int faultEvery_;
    SignalRelay& relay_;
    std::mt19937 random_;
    std::string truth_;  // what the module's RAM holds
    bool faultySim_ = false;
    bool broken_ = false;
    int externalDeaths_ = 0;
    // The clock as last set, on which run of the adapter.
    struct ClockSet { long long epochMinute; int simRun; };
    std::optional<ClockSet> clockSet_;

    // The cycle in progress.
    CycleReport report_;
    bool externalInCycle_ = false;
    int files_ = 0;
};

}  // namespace qvd::soak
