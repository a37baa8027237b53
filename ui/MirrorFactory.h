#pragma once
// Picks the mirror of a control by the control's kind.
#include "ui/HandlerRunner.h"
#include "ui/Placement.h"
#include "ui/WidgetMirror.h"

#include <memory>

class QAction;

namespace qvd::ui {

// The mirror with a new widget for `control` under `parent`, named and
// placed; null for kinds that have no widget of their own (menus, the
// window).
std::unique_ptr<WidgetMirror> CreateWidgetMirror(Control& control, QWidget* parent, const Placement* placement,
                                                 const HandlerRunner& run);
// The mirror of a menu or menu entry through its action; null for other kinds.
std::unique_ptr<ControlMirror> CreateActionMirror(Control& control, QAction* action, const HandlerRunner& run);

}  // namespace qvd::ui
