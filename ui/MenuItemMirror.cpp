#include "ui/MenuItemMirror.h"

#include "ui/ShownText.h"

#include <QAction>

namespace qvd::ui {

MenuItemMirror::MenuItemMirror(Control& c, QAction* action, const HandlerRunner& run)
    : ControlMirror(c), action_(action) {
    // Every way of choosing an entry (mouse, keys, an assistive tool's press)
    // goes through trigger().
    QObject::connect(action, &QAction::triggered, action, [&c, action, run] {
        // The tick mark is the model's: undo Qt's own toggle.
        action->setChecked(c.checked);
        run([&c] { if (c.OnClick) c.OnClick(); });
    });
}

void MenuItemMirror::Show() {
    const Control& c = control();
    action_->setText(ActionText(c.caption));
    // Only a ticked entry is checkable, so unticked ones show no box.
    action_->setCheckable(c.checked);
    action_->setChecked(c.checked);
    action_->setEnabled(c.enabled);
    action_->setVisible(c.visible);
}

}  // namespace qvd::ui
