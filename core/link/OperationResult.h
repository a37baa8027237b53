#pragma once
// How an operation ended, in terms a caller without a window can act on. The
// window shows the same through its log and boxes; a script needs it as a
// value, and must never read a failure as success.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace qvd {

enum class Outcome : uint8_t {
    None,         // nothing reported: never taken as success
    Succeeded,
    DataDiffer,   // a verification, checksum or comparison failed
    AdapterLost,  // the adapter did not answer, or its port failed
    FileFailed,   // a file could not be read or written
    Refused,      // the user said no
    BadInput,     // refused before anything was sent for it
    Stopped,      // ended early on request
};

struct OperationResult {
    Outcome outcome = Outcome::None;
    // Figures the log shows (bytes, checksums), in the order they came.
    std::vector<std::pair<std::string, std::string>> figures;

    // The first failure stands; success counts only where nothing failed.
    void Report(Outcome reported) {
        if (reported == Outcome::None) return;
        if (reported == Outcome::Succeeded) {
            if (outcome == Outcome::None) outcome = reported;
        } else if (outcome == Outcome::None || outcome == Outcome::Succeeded) {
            outcome = reported;
        }
    }
    void Figure(const std::string& name, const std::string& value) { figures.emplace_back(name, value); }
};

}  // namespace qvd
