#pragma once
// A one-line edit: its text, length limit and colours; typing goes through
// the control's key filter and hands the text to the control.
#include "ui/HandlerRunner.h"
#include "ui/WidgetMirror.h"

class QLineEdit;

namespace qvd::ui {

class EditMirror : public WidgetMirror {
public:
    EditMirror(Control& control, QWidget* parent, const HandlerRunner& run);

private:
    void ShowContent() override;
    QLineEdit* edit() const;
};

}  // namespace qvd::ui
