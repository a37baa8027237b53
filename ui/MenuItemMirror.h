#pragma once
// An entry of a menu: its text, tick, enabled and visible; choosing it runs
// the control's click handler, which alone decides the tick.
#include "ui/ControlMirror.h"
#include "ui/HandlerRunner.h"

class QAction;

namespace qvd::ui {

class MenuItemMirror : public ControlMirror {
public:
    MenuItemMirror(Control& control, QAction* action, const HandlerRunner& run);

private:
    void Show() override;

    QAction* action_;
};

}  // namespace qvd::ui
