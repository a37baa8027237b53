#pragma once
// What qvd-pc makes of its command line before any window exists: --help and
// --version answer without a display, a mistyped option is refused instead
// of being dropped silently, and Qt's own options pass through to Qt.
#include <string>
#include <vector>

namespace qvd::app {

inline constexpr int kExitUsage = 64;  // EX_USAGE

enum class CommandLineAction { Run, Help, Version, Refuse };

struct CommandLineVerdict {
    CommandLineAction action = CommandLineAction::Run;
    std::string error;  // for Refuse: names the argument, without the program name
};

// args are argv[1..]. A refused argument wins over --help and --version, so
// that a script with a typo fails rather than printing help and exiting 0.
CommandLineVerdict CheckCommandLine(const std::vector<std::string>& args);

std::string HelpText();
std::string VersionText();

}  // namespace qvd::app
