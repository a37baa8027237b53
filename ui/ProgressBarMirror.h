#pragma once
// A progress bar: its position and the whole text the program wrote for it.
#include "ui/WidgetMirror.h"

namespace qvd::ui {

class ProgressBarMirror : public WidgetMirror {
public:
    ProgressBarMirror(Control& control, QWidget* parent);

private:
    void ShowContent() override;
};

}  // namespace qvd::ui
