#pragma once
// Tests and assistive tools find every control by its designer name.
#include <string>

class QWidget;

namespace qvd::ui {

// Marks a widget with its designer name: object name and accessible
// description (Qt does not publish the object name to assistive tools; the
// accessible name stays the visible text).
void NameWidget(QWidget* widget, const std::string& designerName);

}  // namespace qvd::ui
