#include "ui/CheckBoxMirror.h"

#include "ui/ShownText.h"

#include <QCheckBox>

namespace qvd::ui {

CheckBoxMirror::CheckBoxMirror(Control& c, QWidget* parent, const HandlerRunner& run)
    : WidgetMirror(c, new QCheckBox(parent), ColourRoles{QPalette::Window, QPalette::WindowText}, Input::Taken) {
    QObject::connect(box(), &QCheckBox::clicked, box(), [&c, run](bool checked) {
        run([&c, checked] {
            c.SetChecked(checked);
            if (c.OnClick) c.OnClick();
        });
    });
}

QCheckBox* CheckBoxMirror::box() const { return static_cast<QCheckBox*>(widget()); }

void CheckBoxMirror::ShowContent() {
    const Control& c = control();
    box()->setText(ActionText(c.caption));
    box()->setChecked(c.checked);
    if (c.color) box()->setAutoFillBackground(true);
}

}  // namespace qvd::ui
