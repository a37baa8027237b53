#pragma once
#include <cstdint>

namespace qvd {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Colours carry meaning in this program (the log's state, the activity
// strip, the busy status bar), so they are named once here.
namespace colors {
inline constexpr Rgb Navy{0, 0, 128};
inline constexpr Rgb Aqua{0, 255, 255};
inline constexpr Rgb Red{255, 0, 0};
inline constexpr Rgb Green{0, 128, 0};
inline constexpr Rgb Lime{0, 255, 0};
inline constexpr Rgb Yellow{255, 255, 0};
inline constexpr Rgb Maroon{128, 0, 0};
inline constexpr Rgb MoneyGreen{192, 220, 192};
inline constexpr Rgb ButtonFace{240, 240, 240};
inline constexpr Rgb Blue{0, 0, 255};
inline constexpr Rgb Olive{128, 128, 0};
inline constexpr Rgb Grey{128, 128, 128};
inline constexpr Rgb White{255, 255, 255};
inline constexpr Rgb Black{0, 0, 0};
// The normal background of an entry field.
inline constexpr Rgb Window{255, 255, 255};
}  // namespace colors

}  // namespace qvd
