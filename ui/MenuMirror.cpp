#include "ui/MenuMirror.h"

#include "ui/ShownText.h"

#include <QAction>
#include <QMenu>

namespace qvd::ui {

void MenuMirror::Show() {
    const Control& c = control();
    if (auto* menu = qobject_cast<QMenu*>(action_->menu())) menu->setTitle(ActionText(c.caption));
    action_->setEnabled(c.enabled);
    action_->setVisible(c.visible);
}

}  // namespace qvd::ui
