#pragma once
// The window fonts: Tahoma where installed, otherwise the closest sans font
// at hand; sizes in pixels, as the windows were drawn at 96 dpi.
#include <QFont>

namespace qvd::ui {

QFont SansFont(int pixelSize, bool bold = false);
QFont FixedPitchFont(int pixelSize);

}  // namespace qvd::ui
