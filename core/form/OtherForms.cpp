#include "core/form/OtherForms.h"

namespace qvd {

AboutForm::AboutForm() : Form("TForm2", "QVD-PC Info", 508, 178) {}

JumperHelpForm::JumperHelpForm() : Form("TForm5", "QVD-PC: NSM-12sek.-Modul", 588, 267) {}

PasswordForm::PasswordForm() : Form("TForm3", "QVD-PC  Service-Freigabe", 198, 122) {
    entryEdit.maxLength = 12;
    handOverEdit.visible = false;
    okButton.OnClick = [this] { HandOver(); };
    entryEdit.OnKeyPress = [this](char& key) {
        if (key == '\r') {
            key = 0;
            HandOver();
        }
    };
}

std::string PasswordForm::Frame(const std::string& entry) {
    // Framing characters are added at run time, so the handed-over text never
    // equals what was typed.
    return std::string("\x1e") + "QVD<" + entry + ">" + std::string("\x1f");
}

void PasswordForm::HandOver() {
    handOverEdit.SetCaption(Frame(entryEdit.caption));
    entryEdit.SetCaption("");
    window.SetVisible(false);
}

}  // namespace qvd
