#pragma once
// The about window "QVD-PC Info".
#include "core/form/OtherForms.h"
#include "ui/AuxWindow.h"

namespace qvd::ui {

class AboutWindow : public AuxWindow {
public:
    AboutWindow(AboutForm& form, QtHost& host, QWidget* owner);
};

}  // namespace qvd::ui
