#include "core/form/MainForm.h"

#include "core/form/OtherForms.h"

namespace qvd {

const char* const kNoticeText =
    "HINWEISE:\r"
    "Die Haftung für jegliche Schäden und Folgeschäden an den BW/NSM-Spielemodulen inkl. "
    "Geldspielgeräte sowie PC-Hardwarekomponenten sind aufgrund der Benutzung des "
    "QVD-BW/NSM’s (QVD-PC und QVD-Modul) ausgeschlossen.\r"
    "Es wird ausdrücklich darauf hingewiesen, dass der QVD-BW-NSM nur für den privaten "
    "Bereich und an Geldspielgeräten ohne Zulassung gedacht ist. Geldspielgeräte mit "
    "zurückgesetztem Datum oder mit geänderten RAM-Daten aufzustellen bzw. gewerblich zu "
    "nutzen, ist NICHT erlaubt.";

MainForm::MainForm(EventPump& pump)
    : Form("TForm1", kWindowCaption, kNormalWidth, kStartHeight), Timer1(pump, 2000) {
    window.visible = true;
    window.SetColor(colors::Blue);

    Memo1.color = colors::Green;
    Memo1.fontColor = colors::Lime;
    Button3.enabled = false;
    Button5.enabled = false;
    Button1.enabled = false;
    CheckBox3.enabled = false;
    Memo2.color = colors::Grey;
    Memo2.fontColor = colors::White;
    Panel4.color = colors::Navy;
    Memo5.visible = false;
    Memo5.enabled = false;

    Panel1.visible = false;
    for (Control* edit : {&Edit2, &Edit6, &Edit5, &Edit7, &Edit8}) edit->maxLength = 2;
    GroupBox3.visible = false;
    Edit1.maxLength = 3;
    Edit9.maxLength = 1;
    GroupBox9.visible = false;
    Edit12.maxLength = 1;
    Edit16.maxLength = 1;
    GroupBox2.visible = false;
    CheckBox13.enabled = false;  // "Busy" is the chip's to set
    Button12.visible = false;
    Panel5.visible = false;
    Edit10.maxLength = 6;
    Edit11.maxLength = 4;
    Edit11.color = colors::Olive;
    Edit11.fontColor = colors::Yellow;

    GroupBox4.visible = false;
    Button6.fontColor = colors::Yellow;
    for (Control* view : {&DBMemo1, &DBMemo2}) {
        view->color = colors::Navy;
        view->fontColor = colors::Aqua;
    }
    GroupBox1.visible = false;
    Edit3.maxLength = 4;
    Edit4.maxLength = 4;

    GroupBox8.enabled = false;
    GroupBox8.color = colors::Grey;
    GroupBox8.fontColor = colors::Aqua;
    Label18.fontColor = colors::Yellow;
    CheckBox14.enabled = false;
    CheckBox14.fontColor = colors::Lime;

    StatusBar2.color = colors::MoneyGreen;
    StatusPanel0.width = 45;
    StatusPanel1.width = 450;
    StatusPanel2.width = 150;
    StatusPanel3.width = 80;

    Extr.enabled = false;
    BW2EPROMaufteilen1.enabled = false;
    Info1.enabled = false;
    NSM1.enabled = false;
}

void MainForm::AppendLogText(const std::string& text) { Memo1.AddText(text); }

static std::string OneLine(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') continue;
        out += c == '\r' ? ' ' : c;
    }
    return out;
}

void MainForm::LogLine(const std::string& text) { AppendLogText(text); }

void MainForm::LogInfo(const std::string& text) {
    AppendLogText(text);
    StatusPanel1.SetCaption(OneLine(text));
}

void MainForm::LogError(const std::string& text) {
    AppendLogText(text);
    SetLogColors(colors::Red, colors::Yellow);
    StatusPanel1.SetCaption(OneLine(text));
}

void MainForm::SetLogColors(Rgb background, Rgb text) {
    Memo1.color = background;
    Memo1.fontColor = text;
    Memo1.Touch();
}

void MainForm::EnableControls(bool on) {
    Timer1.SetEnabled(on);
    Button3.SetEnabled(on);
    Button1.SetEnabled(on);
    Button5.SetEnabled(on);
    EnableOperationControls(on);
}

void MainForm::EnableOperationControls(bool on) {
    for (Control* c : {&Button2, &Button4, &Button7, &Button30, &Button8, &Button12, &Button6,
                       &Button9, &Button10, &Button11, &Button13, &Button14, &Button15,
                       &Button16, &Button17, &Button18, &Button20, &Button21, &Button22,
                       &GroupBox8, &Info1, &Extr, &Panel5, &window})
        c->SetEnabled(on);
    CheckBox14.SetEnabled(on && adpSwitchOffered);
    if (!on) {
        StatusBar2.SetColor(colors::Yellow);
        if (about) about->window.SetVisible(false);
        if (jumperHelp) jumperHelp->window.SetVisible(false);
        if (password) password->window.SetVisible(false);
    } else {
        StatusBar2.SetColor(colors::MoneyGreen);
    }
}

void MainForm::ApplyExtraFunctions(int moduleType) {
    if (!CheckBox3.checked) {
        for (Control* c : {&GroupBox1, &Button12, &Panel5, &GroupBox2, &GroupBox3})
            c->SetVisible(false);
        return;
    }
    GroupBox1.SetVisible(true);
    Button12.SetVisible(true);
    Panel5.SetVisible(true);
    const bool bw = moduleType == 1 || moduleType == 4 || moduleType == 5;
    const bool nsm = moduleType == 2 || moduleType == 3;
    if (bw) {
        GroupBox2.SetVisible(true);
        GroupBox3.SetVisible(false);
    } else if (nsm) {
        GroupBox3.SetVisible(true);
        GroupBox2.SetVisible(false);
    }
}

}  // namespace qvd
