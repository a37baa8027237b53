#pragma once
// A text file written in one go (a view, the status report), replacing what
// stood there.
#include <optional>
#include <string>

namespace qvd {

// Nullopt when every byte reached the file; otherwise why not, for the box.
// Only a regular file or a new one is written: opening a FIFO would wait for
// a reader with the window held.
std::optional<std::string> WriteWholeFile(const std::string& path, const std::string& bytes);

}  // namespace qvd
