#include "ui/WidgetMirror.h"

#include "ui/HeldLook.h"
#include "ui/ModelColours.h"

#include <QWidget>

namespace qvd::ui {

WidgetMirror::WidgetMirror(Control& control, QWidget* widget, std::optional<ColourRoles> colours, Input input)
    : ControlMirror(control), widget_(widget), colours_(colours), takesInput_(input == Input::Taken) {}

void WidgetMirror::SetHeld(bool held) {
    if (!takesInput_ || held == held_) return;
    held_ = held;
    if (held)
        beforeHold_ = widget_->palette();
    else
        widget_->setPalette(beforeHold_);
    MarkStale();
}

void WidgetMirror::Show() {
    const Control& c = control();
    // Colours the model gave are set again on every change; a held control
    // starts from its palette before the hold.
    QPalette pal = held_ ? beforeHold_ : widget_->palette();
    ShowContent();
    if (colours_) SetColorRoles(pal, c.color, colours_->background, c.fontColor, colours_->text);
    const bool heldLook = held_ && c.enabled;
    if (heldLook) pal = HeldPalette(pal);
    if (colours_ || held_) widget_->setPalette(pal);
    SetHeldLook(widget_, heldLook);
    widget_->setEnabled(c.enabled && !held_);
    widget_->setVisible(c.visible);
}

}  // namespace qvd::ui
