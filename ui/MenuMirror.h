#pragma once
// A menu of the menu bar, shown through its menu action: title, enabled,
// visible.
#include "ui/ControlMirror.h"

class QAction;

namespace qvd::ui {

class MenuMirror : public ControlMirror {
public:
    MenuMirror(Control& control, QAction* menuAction) : ControlMirror(control), action_(menuAction) {}

private:
    void Show() override;

    QAction* action_;
};

}  // namespace qvd::ui
