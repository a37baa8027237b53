#pragma once
// The model's texts as widgets show them.
#include <QString>

#include <string>

namespace qvd::ui {

// A NUL byte becomes the visible "␀", since assistive tools take NUL for the
// end of the text.
QString ShownText(const std::string& text);
// Memo lines: the carriage return that ends a view line is not shown.
QString DisplayLine(const std::string& line);
// Captions of buttons, check boxes and menus: an '&' is shown, not taken for
// a mnemonic.
QString ActionText(const std::string& caption);

}  // namespace qvd::ui
