#pragma once
// The adapter's own diagnostics: status code texts and the lines of the info
// window built from the answers to "x", "X" and "s".
#include <string>
#include <vector>

namespace qvd {

// The code is read as "$" + code: hex digits in either case up to the first
// other character; a code that starts with no hex digit counts as 00.
int StatusCodeValue(const std::string& code);
std::string StatusCodeText(const std::string& code);

// "Status(" + code + ") = " + text.
std::string StatusLine(const std::string& code);
// "Fehlermeldungen:" and four slices of the "x" answer.
std::vector<std::string> ErrorMemoryLines(const std::string& xAnswer);
// "Fehlercode 1A...1F: " + the whole "X" answer.
std::string ErrorCodes1AtoFLine(const std::string& bigXAnswer);
// "Zählerstände:" and the five counters of the "s" answer.
std::vector<std::string> CounterLines(const std::string& sAnswer);

}  // namespace qvd
