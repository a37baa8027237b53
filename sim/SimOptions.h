#pragma once
// The command line of qvd-sim.
#include "sim/QvdDevice.h"

#include <optional>
#include <string>
#include <vector>

namespace qvd::sim {

struct SimOptions {
    std::string link;  // symlink to the pseudo-terminal; empty: none
    DeviceConfig config;
    std::optional<int> silentAfterPolls;
    bool fast = false;  // no pacing at the line rate
    bool verbose = false;
    bool help = false;
};

struct ParsedOptions {
    SimOptions options;
    std::string error;  // empty when the line was understood
};

ParsedOptions ParseSimOptions(const std::vector<std::string>& args);

extern const char* const kSimUsage;

}  // namespace qvd::sim
