#pragma once
// A memory dump in the adapter's text form, for the view benchmarks.
#include "sim/AdapterFacts.h"

#include <cstddef>
#include <string>

namespace qvd::bench {

constexpr size_t kMiB = 1 << 20;

// `cells` byte cells (1 MiB: 65,536 lines).
inline std::string TextDump(size_t cells = kMiB) { return sim::HexDump(std::string(cells, '\x5A'), 0, cells, 1); }

}  // namespace qvd::bench
