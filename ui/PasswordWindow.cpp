#include "ui/PasswordWindow.h"

#include "ui/EditKeyFilter.h"
#include "ui/Fonts.h"

#include <QLineEdit>

namespace qvd::ui {

// 198 x 122 with a tool-window frame around a client of 192 x 97.
static constexpr Placement kPassword[] = {
    {"Edit1", 16, 18, 160, 21},
    {"Button1", 58, 54, 75, 25},
    {"Edit2", 16, 86, 160, 21},
};

PasswordWindow::PasswordWindow(PasswordForm& form, QtHost& host, QWidget* owner)
    : AuxWindow(form, host, owner, kPassword, {QSize(6, 25), SansFont(11), Qt::Tool}) {
    // The hidden hand-over field holds the framed entry: masked as well.
    for (const Control* field : {&form.entryEdit, &form.handOverEdit})
        if (auto* edit = qobject_cast<QLineEdit*>(ControlWidget(field->name))) MaskWithHash(edit);
}

}  // namespace qvd::ui
