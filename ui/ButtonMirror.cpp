#include "ui/ButtonMirror.h"

#include "ui/ShownText.h"

#include <QPushButton>

namespace qvd::ui {

ButtonMirror::ButtonMirror(Control& c, QWidget* parent, const HandlerRunner& run)
    : WidgetMirror(c, new QPushButton(parent), ColourRoles{QPalette::Button, QPalette::ButtonText}, Input::Taken) {
    button()->setAutoDefault(false);
    QObject::connect(button(), &QPushButton::clicked, button(), [&c, run] {
        run([&c] { if (c.OnClick) c.OnClick(); });
    });
}

QPushButton* ButtonMirror::button() const { return static_cast<QPushButton*>(widget()); }

void ButtonMirror::ShowContent() { button()->setText(ActionText(control().caption)); }

}  // namespace qvd::ui
