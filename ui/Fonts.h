#pragma once
// The window fonts: Tahoma where installed, otherwise the closest sans font
// at hand; sizes in pixels, so the texts fit the fixed pixel layouts at any
// screen resolution.
#include <QFont>

namespace qvd::ui {

QFont SansFont(int pixelSize, bool bold = false);
QFont FixedPitchFont(int pixelSize);

}  // namespace qvd::ui
