#pragma once
// The adapter's status and error codes and their German texts.
#include <string>

namespace qvd {

// The code is read as "$" + code: hex digits in either case up to the first
// other character; a code that starts with no hex digit counts as 00.
int StatusCodeValue(const std::string& code);
std::string StatusCodeText(const std::string& code);

}  // namespace qvd
