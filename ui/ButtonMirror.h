#pragma once
// A push button: its caption and colours; a click runs the control's click
// handler.
#include "ui/HandlerRunner.h"
#include "ui/WidgetMirror.h"

class QPushButton;

namespace qvd::ui {

class ButtonMirror : public WidgetMirror {
public:
    ButtonMirror(Control& control, QWidget* parent, const HandlerRunner& run);

private:
    void ShowContent() override;
    QPushButton* button() const;
};

}  // namespace qvd::ui
