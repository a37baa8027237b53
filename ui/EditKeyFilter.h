#pragma once
// Typing into an edit goes through the control's key filter first, so the
// program decides what each key types: the filter sees the character
// (Backspace 8, Enter 13, clipboard shortcuts as their control characters)
// and may replace it or discard it (0). Paths around the filter (context menu, drag and drop,
// middle-click paste, input methods) are closed while a filter is set.
#include "core/form/Control.h"
#include "ui/HandlerRunner.h"

#include <QObject>

#include <optional>

class QKeyEvent;
class QLineEdit;

namespace qvd::ui {

// The character a key press stands for, or nothing for keys that do not
// type (arrows, Delete, Tab, function keys, bare modifiers).
std::optional<char> TypedChar(const QKeyEvent& event);

class EditKeyFilter : public QObject {
public:
    EditKeyFilter(Control& control, QLineEdit* edit, HandlerRunner run);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool OnKey(QKeyEvent* event);

    Control& control_;
    QLineEdit* edit_;
    HandlerRunner run_;
};

// Shows every character of a password field as "#".
void MaskWithHash(QLineEdit* edit);

}  // namespace qvd::ui
