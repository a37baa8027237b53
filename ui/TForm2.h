#pragma once
// The about window "QVD-PC Info".
#include "core/form/OtherForms.h"
#include "ui/AuxWindow.h"

namespace qvd::ui {

class TForm2 : public AuxWindow {
public:
    TForm2(AboutForm& form, QtHost& host, QWidget* owner);
};

}  // namespace qvd::ui
