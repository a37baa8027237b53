#pragma once
// The lines of the info window built from the adapter's answers to "x", "X"
// and "s".
#include <string>
#include <vector>

namespace qvd {

// "Status(" + code + ") = " + text.
std::string StatusLine(const std::string& code);
// "Fehlermeldungen:" and four slices of the "x" answer.
std::vector<std::string> ErrorMemoryLines(const std::string& xAnswer);
// "Fehlercode 1A...1F: " + the whole "X" answer.
std::string ErrorCodes1AtoFLine(const std::string& bigXAnswer);
// "Zählerstände:" and the five counters of the "s" answer.
std::vector<std::string> CounterLines(const std::string& sAnswer);

}  // namespace qvd
