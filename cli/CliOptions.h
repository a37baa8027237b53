#pragma once
// The command line of qvd-cli, parsed and checked before any port is opened:
// a wrong option, a missing argument or a field the adapter would refuse is
// a usage error, told by what is wrong.
#include <optional>
#include <string>
#include <vector>

namespace qvd::cli {

enum class Command {
    Find, Info, Status, RamSave, EpromSave, RamRestore, RamClear, RamCompare, View,
    CellRead, CellWrite, Clock, ClockSet, Split, Join,
};

struct CommandInfo {
    Command command;
    const char* name;
    const char* arguments;  // for the help, e.g. "DATEI"
    const char* summary;    // one line of the help
    int minArgs, maxArgs;
    bool needsAdapter;
};

const std::vector<CommandInfo>& Commands();
const CommandInfo* FindCommand(const std::string& name);
const CommandInfo& InfoOf(Command command);

struct ClockSetting {
    bool pcTime = false;  // "now": the window's "PCzeit"
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
};

struct Options {
    // --port: a COM number, or a device path.
    std::optional<int> portNumber;
    std::string portPath;
    bool yes = false, verbose = false, json = false;
    bool help = false, version = false;  // qvd-cli --help / --version
    std::optional<Command> command;
    std::vector<std::string> args;

    // Taken apart from args where the command has them.
    bool viewEprom = false;
    std::optional<std::pair<std::string, std::string>> viewRange;  // four hex digits each
    std::optional<ClockSetting> clockSetting;
};

struct Parsed {
    Options options;
    std::string error;  // empty when the command line is good
};

// argv without the program name.
Parsed ParseCommandLine(const std::vector<std::string>& args);

// The texts of --help and COMMAND --help.
std::string ProgramHelp();
std::string CommandHelp(Command command);

}  // namespace qvd::cli
