#pragma once
// One control of the model and what shows it (a widget or a menu action),
// brought up to date when the control's revision moves on.
#include "core/form/Control.h"

namespace qvd::ui {

class ControlMirror {
public:
    virtual ~ControlMirror() = default;
    ControlMirror(const ControlMirror&) = delete;
    ControlMirror& operator=(const ControlMirror&) = delete;

    Control& control() const { return control_; }

    // Brings the widget up to the control when the control changed.
    void Update() {
        if (seen_ == control_.revision) return;
        seen_ = control_.revision;
        Show();
    }

    // While its window is held, a control that takes input is disabled, so
    // assistive tools report it as unavailable, yet it is drawn as before.
    virtual void SetHeld(bool held) {}

protected:
    explicit ControlMirror(Control& control) : control_(control) {}
    // Shows the whole control as it is now.
    virtual void Show() = 0;
    // The next update shows the control, changed or not.
    void MarkStale() { seen_ = ~0u; }

private:
    Control& control_;
    unsigned seen_ = ~0u;
};

}  // namespace qvd::ui
