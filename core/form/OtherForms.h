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
    Control& versionLabel = Add("Label1", ControlKind::Label, "QVD-PC  Version 1.30");
    Control& trademarkLabel = Add("Label6", ControlKind::Label,
        "In diesem Programm verwendete Warenzeichen, Marken-, Programmnamen etc. sind "
        "Eigentum ihrer jeweiligen Inhaber.");
    Control& iconImage = Add("Image3", ControlKind::Image, ":/pictures/icon.jpg");
    Control& moduleImage = Add("Image1", ControlKind::Image, ":/pictures/module_with_adapter.jpg");
    Control& adapterImage = Add("Image2", ControlKind::Image, ":/pictures/adapter_with_module.jpg");
};

class JumperHelpForm : public Form {
public:
    JumperHelpForm();
    Control& titleLabel = Add("Label1", ControlKind::Label, "Jumper-Einstellung für das NSM-12sek.-Modul:");
    Control& resetBoardImage = Add("Image1", ControlKind::Image, ":/pictures/reset_board.jpg");
    Control& picture1Label = Add("Label6", ControlKind::Label, "Bild 1");
    Control& jumpersFittedImage = Add("Image2", ControlKind::Image, ":/pictures/jumpers_fitted.jpg");
    Control& picture2Label = Add("Label7", ControlKind::Label, "Bild 2");
    Control& jumperSettingImage = Add("Image3", ControlKind::Image, ":/pictures/jumper_setting.jpg");
    Control& picture3Label = Add("Label8", ControlKind::Label, "Bild 3");
    Control& introLabel = Add("Label2", ControlKind::Label,
        "Für eine einwandreie Funktion muss das NSM-Modul die Jumper-Einstellung (Bild 3) "
        "aufweisen, bevor es auf den QVD-NSM-Adapter kommt:");
    Control& step1Label = Add("Label3", ControlKind::Label,
        "1. Reset-Platine (Bild 1) oder Jumper (Bild 2) entfernen , wobei die vorhandene "
        "Jumper Platzierung  zu merken ist.");
    Control& step2Label = Add("Label4", ControlKind::Label,
        "2. Jumper setzen (Bild 3) und dann kann das NSM-12sek.-Modul mit dem QVD "
        "angeschlossen werden.");
    Control& step3Label = Add("Label9", ControlKind::Label,
        "3. Nach der QVD-Benutzung muss die ursprüngliche Jumper-Einstellung oder das "
        "Aufstecken der Reset-Platine       erfolgen.");
};

class PasswordForm : public Form {
public:
    PasswordForm();
    Control& entryEdit = Add("Edit1", ControlKind::Edit, "");
    Control& okButton = Add("Button1", ControlKind::Button, "OK");
    Control& handOverEdit = Add("Edit2", ControlKind::Edit, "");  // hidden hand-over field

    // Enter in the entry field or OK: frames the entry into the hidden field, empties
    // the entry field and closes the dialog.
    void HandOver();
    // The framing added around an entry before it is handed over.
    static std::string Frame(const std::string& entry);
};

}  // namespace qvd
