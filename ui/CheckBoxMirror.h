#pragma once
// A check box: its caption, tick and colours; every change of the tick by
// the user hands the new tick to the control and runs its click handler.
#include "ui/HandlerRunner.h"
#include "ui/WidgetMirror.h"

class QCheckBox;

namespace qvd::ui {

class CheckBoxMirror : public WidgetMirror {
public:
    CheckBoxMirror(Control& control, QWidget* parent, const HandlerRunner& run);

private:
    void ShowContent() override;
    QCheckBox* box() const;
};

}  // namespace qvd::ui
