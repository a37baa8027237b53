#pragma once
// The symlink through which the PC finds the simulator's pseudo-terminal.
#include <string>

namespace qvd::sim {

// Points `link` at `target`, creating its directory and replacing an earlier
// link (a stale one from a killed run, say). Refuses to replace anything that
// is not a symlink. Throws std::runtime_error with a printable reason.
void PublishLink(const std::string& link, const std::string& target);

// Removes `link` if it still points at `target` (another run may own it now).
void WithdrawLink(const std::string& link, const std::string& target);

}  // namespace qvd::sim
