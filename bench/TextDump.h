#pragma once
// A memory dump in the adapter's text form, for the view benchmarks.
#include <cstddef>
#include <cstdio>
#include <string>

namespace qvd::bench {

constexpr size_t kMiB = 1 << 20;

// `cells` cells, 16 to a line (1 MiB: 65,536 lines).
inline std::string TextDump(size_t cells = kMiB) {
    std::string text;
    char line[64];
    for (unsigned cell = 0; cell < cells; cell += 16) {
        std::snprintf(line, sizeof line, "%06X:", cell);
        text += line;
        for (int i = 0; i < 16; ++i) text += " 5A";
        text += '\r';
    }
    return text;
}

}  // namespace qvd::bench
