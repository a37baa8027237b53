#pragma once
// Up-down arrows: each arrow runs the control's step handler.
#include "ui/HandlerRunner.h"
#include "ui/WidgetMirror.h"

namespace qvd::ui {

class UpDownMirror : public WidgetMirror {
public:
    UpDownMirror(Control& control, QWidget* parent, const HandlerRunner& run);

private:
    void ShowContent() override {}
};

}  // namespace qvd::ui
