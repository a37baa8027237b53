#pragma once
// Geometry of the main window's controls. Region A is on top, B below it,
// C below B and D right of x = 765, so each window layout shows whole regions
// and cuts the rest off.
#include "ui/Placement.h"

#include <QSize>

namespace qvd::ui {

// The model's window sizes are outer sizes of a fixed-border window with a
// caption: the client area is this much smaller.
inline constexpr QSize kMainWindowFrame{8, 34};
inline constexpr int kMenuBarHeight = 20;
inline constexpr int kStatusBarHeight = 19;

Placements MainPlacements();

}  // namespace qvd::ui
