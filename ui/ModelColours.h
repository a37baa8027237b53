#pragma once
// The model's colours on a widget's palette.
#include "core/form/Colors.h"

#include <QPalette>

#include <optional>

class QWidget;

namespace qvd::ui {

// Backgrounds hold in every state; text colours only for the enabled states,
// so a disabled control still greys out its text.
void SetColorRoles(QPalette& pal, std::optional<Rgb> background, QPalette::ColorRole bgRole,
                   std::optional<Rgb> text, QPalette::ColorRole textRole);
void SetColorRoles(QWidget* w, std::optional<Rgb> background, QPalette::ColorRole bgRole,
                   std::optional<Rgb> text, QPalette::ColorRole textRole);

}  // namespace qvd::ui
