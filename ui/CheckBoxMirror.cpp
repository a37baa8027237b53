#include "ui/CheckBoxMirror.h"

#include "ui/ShownText.h"

#include <QCheckBox>
#include <QSignalBlocker>

namespace qvd::ui {

CheckBoxMirror::CheckBoxMirror(Control& c, QWidget* parent, const HandlerRunner& run)
    : WidgetMirror(c, new QCheckBox(parent), ColourRoles{QPalette::Window, QPalette::WindowText}, Input::Taken) {
    // Only a click emits clicked; an assistive tool's toggle changes the tick
    // without one, so the tick itself is what is forwarded.
    QObject::connect(box(), &QCheckBox::toggled, box(), [&c, run](bool checked) {
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
    {
        // Showing the model's tick is no change of the user's.
        const QSignalBlocker showing(box());
        box()->setChecked(c.checked);
    }
    if (c.color) box()->setAutoFillBackground(true);
}

}  // namespace qvd::ui
