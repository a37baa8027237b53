#pragma once
// The command line of qvd-sim.
#include "sim/QvdDevice.h"

#include <string>
#include <vector>

namespace qvd::sim {

struct SimOptions {
    std::string link;  // symlink to the pseudo-terminal; empty: none
    DeviceConfig config;
    DeviceFaults faults;
    std::string ramFile, epromFile;  // memory images to load; empty: marker patterns
    bool fast = false;  // no pacing at the line rate
    bool verbose = false;
    bool help = false;
    bool programVersion = false;  // --version without a value
    bool facts = false;
};

struct ParsedOptions {
    SimOptions options;
    std::string error;  // empty when the line was understood
};

ParsedOptions ParseSimOptions(const std::vector<std::string>& args);

// Reads the --ram and --eprom files into the config. They must have the
// module type's sizes exactly: a wrong file would otherwise be served cut or
// padded without a word. Returns a printable error, empty on success.
std::string LoadImages(SimOptions& options);

extern const char* const kSimUsage;

// The adapter's facts (sim/AdapterFacts.h) as JSON, for the tools.
std::string FactsJson();

}  // namespace qvd::sim
