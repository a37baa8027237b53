#pragma once
// Where a control sits in its window: fixed geometry in pixels, relative to
// the control's parent (or the window's client area), since the windows
// have fixed sizes.
#include <span>
#include <string>

namespace qvd::ui {

enum PlacementFlag : unsigned {
    kBold = 1u << 0,
    kWrap = 1u << 1,         // labels: word wrap within the width
    kFixedPitch = 1u << 2,   // memos
    kNoWrap = 1u << 3,       // memos: no word wrap
    kCentred = 1u << 4,      // labels: centred text
    kRaised = 1u << 5,       // panels
    kLowered = 1u << 6,
    kSingleBorder = 1u << 7,
};

struct Placement {
    const char* name;
    int x, y, w, h;
    int fontPx = 0;  // 0: the window's font
    unsigned flags = 0;
};

using Placements = std::span<const Placement>;

inline const Placement* FindPlacement(Placements table, const std::string& name) {
    for (const Placement& p : table)
        if (name == p.name) return &p;
    return nullptr;
}

}  // namespace qvd::ui
