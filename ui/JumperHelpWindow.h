#pragma once
// The jumper help "QVD-PC: NSM-12sek.-Modul".
#include "core/form/OtherForms.h"
#include "ui/AuxWindow.h"

namespace qvd::ui {

class JumperHelpWindow : public AuxWindow {
public:
    JumperHelpWindow(JumperHelpForm& form, QtHost& host, QWidget* owner);
};

}  // namespace qvd::ui
