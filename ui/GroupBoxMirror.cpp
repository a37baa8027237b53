#include "ui/GroupBoxMirror.h"

#include "ui/ModelColours.h"

#include <QGroupBox>

namespace qvd::ui {

GroupBoxMirror::GroupBoxMirror(Control& c, QWidget* parent)
    : WidgetMirror(c, new QGroupBox(parent), ColourRoles{QPalette::Window, QPalette::WindowText}, Input::None) {
    box()->setAutoFillBackground(true);
    if (!c.color) SetColorRoles(box(), colors::ButtonFace, QPalette::Window, {}, QPalette::WindowText);
}

QGroupBox* GroupBoxMirror::box() const { return static_cast<QGroupBox*>(widget()); }

void GroupBoxMirror::ShowContent() { box()->setTitle(QString::fromStdString(control().caption)); }

}  // namespace qvd::ui
