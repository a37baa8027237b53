#pragma once
// What the mirrors of all widgets share: enabled and visible, the model's
// colours, the held look.
#include "ui/ControlMirror.h"

#include <QPalette>

#include <optional>

class QWidget;

namespace qvd::ui {

class WidgetMirror : public ControlMirror {
public:
    QWidget* widget() const { return widget_; }
    void SetHeld(bool held) override;

protected:
    // Where a kind's colours go: its background role and its text role.
    struct ColourRoles { QPalette::ColorRole background, text; };
    enum class Input { Taken, None };

    WidgetMirror(Control& control, QWidget* widget, std::optional<ColourRoles> colours, Input input);
    // The kind's own part: text, tick, value.
    virtual void ShowContent() = 0;

private:
    void Show() final;

    QWidget* widget_;
    std::optional<ColourRoles> colours_;
    bool takesInput_;
    bool held_ = false;
    QPalette beforeHold_;
};

}  // namespace qvd::ui
