#pragma once
// The program as qvd-cli runs it: the termios backend on the given host, the
// COM names from the port pattern (or the one device path --port named), USB
// names from sysfs, and the enumeration and search kept to the one port
// --port named.
#include "cli/CliHost.h"
#include "cli/CliOptions.h"
#include "core/program/Program.h"

#include <memory>
#include <string>

namespace qvd::cli {

std::unique_ptr<Program> MakeCliProgram(CliHost& host, const Options& options, const std::string& pattern);

}  // namespace qvd::cli
