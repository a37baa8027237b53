#pragma once
// The service password dialog: a small tool window whose entry shows "#"
// for every character.
#include "core/form/OtherForms.h"
#include "ui/AuxWindow.h"

namespace qvd::ui {

class PasswordWindow : public AuxWindow {
public:
    PasswordWindow(PasswordForm& form, QtHost& host, QWidget* owner);
};

}  // namespace qvd::ui
