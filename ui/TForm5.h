#pragma once
// The jumper help "QVD-PC: NSM-12sek.-Modul".
#include "core/form/OtherForms.h"
#include "ui/AuxWindow.h"

namespace qvd::ui {

class TForm5 : public AuxWindow {
public:
    TForm5(JumperHelpForm& form, QtHost& host, QWidget* owner);
};

}  // namespace qvd::ui
