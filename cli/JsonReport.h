#pragma once
// The one JSON object of --json: what was done, how it ended, and the
// figures the window's log shows.
#include "core/link/OperationResult.h"

#include <optional>
#include <string>
#include <vector>

namespace qvd::cli {

struct Report {
    std::string command;
    Outcome outcome = Outcome::None;
    int exitStatus = 0;
    std::string port;
    std::optional<int> moduleType;
    std::string module;
    std::string file;
    std::vector<std::pair<std::string, std::string>> figures;
    std::vector<std::string> output;
    std::string error;
};

std::string ToJson(const Report& report);

// A JSON string literal; bytes that are not UTF-8 become U+FFFD, so that
// any file name gives valid JSON.
std::string JsonString(const std::string& text);

}  // namespace qvd::cli
