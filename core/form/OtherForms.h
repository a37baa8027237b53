#pragma once
// The auxiliary windows: about (TForm2), service password (TForm3) and the
// NSM jumper help (TForm5). All are created hidden and shown without being
// modal.
#include "core/form/Form.h"

#include <string>

namespace qvd {

class AboutForm : public Form {
public:
    AboutForm();
    Control& Label1 = Add("Label1", ControlKind::Label, "QVD-PC  Version 1.30");
    Control& Label6 = Add("Label6", ControlKind::Label,
        "In diesem Programm verwendete Warenzeichen, Marken-, Programmnamen etc. sind "
        "Eigentum ihrer jeweiligen Inhaber.");
    Control& Image3 = Add("Image3", ControlKind::Image, ":/pictures/icon.jpg");
    Control& Image1 = Add("Image1", ControlKind::Image, ":/pictures/module_with_adapter.jpg");
    Control& Image2 = Add("Image2", ControlKind::Image, ":/pictures/adapter_with_module.jpg");
};

class JumperHelpForm : public Form {
public:
    JumperHelpForm();
    Control& Label1 = Add("Label1", ControlKind::Label, "Jumper-Einstellung für das NSM-12sek.-Modul:");
    Control& Image1 = Add("Image1", ControlKind::Image, ":/pictures/reset_board.jpg");
    Control& Label6 = Add("Label6", ControlKind::Label, "Bild 1");
    Control& Image2 = Add("Image2", ControlKind::Image, ":/pictures/jumpers_fitted.jpg");
    Control& Label7 = Add("Label7", ControlKind::Label, "Bild 2");
    Control& Image3 = Add("Image3", ControlKind::Image, ":/pictures/jumper_setting.jpg");
    Control& Label8 = Add("Label8", ControlKind::Label, "Bild 3");
    Control& Label2 = Add("Label2", ControlKind::Label,
        "Für eine einwandreie Funktion muss das NSM-Modul die Jumper-Einstellung (Bild 3) "
        "aufweisen, bevor es auf den QVD-NSM-Adapter kommt:");
    Control& Label3 = Add("Label3", ControlKind::Label,
        "1. Reset-Platine (Bild 1) oder Jumper (Bild 2) entfernen , wobei die vorhandene "
        "Jumper Platzierung  zu merken ist.");
    Control& Label4 = Add("Label4", ControlKind::Label,
        "2. Jumper setzen (Bild 3) und dann kann das NSM-12sek.-Modul mit dem QVD "
        "angeschlossen werden.");
    Control& Label9 = Add("Label9", ControlKind::Label,
        "3. Nach der QVD-Benutzung muss die ursprüngliche Jumper-Einstellung oder das "
        "Aufstecken der Reset-Platine       erfolgen.");
};

class PasswordForm : public Form {
public:
    PasswordForm();
    Control& entryEdit = Add("Edit1", ControlKind::Edit, "");
    Control& okButton = Add("Button1", ControlKind::Button, "OK");
    Control& handOverEdit = Add("Edit2", ControlKind::Edit, "");  // hidden hand-over field

    // Enter in Edit1 or OK: frames the entry into the hidden field, empties
    // the entry field and closes the dialog.
    void HandOver();
    // The framing added around an entry before it is handed over.
    static std::string Frame(const std::string& entry);
};

}  // namespace qvd
