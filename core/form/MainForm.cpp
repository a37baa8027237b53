#include "core/form/MainForm.h"

#include "core/form/OtherForms.h"
#include "core/wire/ModuleProfile.h"

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
    : Form("TForm1", kWindowCaption, kNormalWidth, kStartHeight), pollTimer(pump, 2000) {
    window.visible = true;
    window.SetColor(colors::Blue);

    logMemo.color = colors::Green;
    logMemo.fontColor = colors::Lime;
    searchButton.enabled = false;
    disconnectButton.enabled = false;
    saveStatusButton.enabled = false;
    extraFunctionsCheck.enabled = false;
    infoMemo.color = colors::Grey;
    infoMemo.fontColor = colors::White;
    activityIndicator.color = colors::Navy;
    reportBuffer.visible = false;
    reportBuffer.enabled = false;

    moduleControlsPanel.visible = false;
    for (Control* edit : {&hoursEdit, &minutesEdit, &dayEdit, &monthEdit, &yearEdit}) edit->maxLength = 2;
    timekeeperGroup.visible = false;
    calibrationEdit.maxLength = 3;
    timekeeperWeekdayEdit.maxLength = 1;
    adpClockGroup.visible = false;
    adpWeekdayEdit.maxLength = 1;
    adpExtraEdit.maxLength = 1;
    rtcGroup.visible = false;
    rtcBusyCheck.enabled = false;  // "Busy" is the chip's to set
    ramClearButton.visible = false;
    cellPanel.visible = false;
    cellAddressEdit.maxLength = 6;
    cellValueEdit.maxLength = 4;
    cellValueEdit.color = colors::Olive;
    cellValueEdit.fontColor = colors::Yellow;

    memoryGroup.visible = false;
    ramViewAllButton.fontColor = colors::Yellow;
    for (Control* view : {&ramView, &epromView}) {
        view->color = colors::Navy;
        view->fontColor = colors::Aqua;
    }
    rangeGroup.visible = false;
    rangeStartEdit.maxLength = 4;
    rangeEndEdit.maxLength = 4;

    extrasGroup.enabled = false;
    extrasGroup.color = colors::Grey;
    extrasGroup.fontColor = colors::Aqua;
    lastPollLabel.fontColor = colors::Yellow;
    adpSwitchCheck.enabled = false;
    adpSwitchCheck.fontColor = colors::Lime;

    statusBar.color = colors::MoneyGreen;
    portPanel.width = 45;
    messagePanel.width = 450;
    bytesPanel.width = 150;
    moduleNamePanel.width = 80;
    progressBar.visible = false;
    progressBar.width = 150;

    extrasMenu.enabled = false;
    splitEpromItem.enabled = false;
    joinEpromItem.enabled = false;
    helpMenu.enabled = false;
    jumperHelpItem.enabled = false;
}

void MainForm::AppendLogText(const std::string& text) { logMemo.AddText(text); }

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
    messagePanel.SetCaption(OneLine(text));
}

void MainForm::LogError(const std::string& text) {
    AppendLogText(text);
    if (onErrorLogged) onErrorLogged(text);
    SetLogColors(colors::Red, colors::Yellow);
    messagePanel.SetCaption(OneLine(text));
}

void MainForm::SetLogColors(Rgb background, Rgb text) {
    logMemo.color = background;
    logMemo.fontColor = text;
    logMemo.Touch();
}

void MainForm::EnableControls(bool on) {
    pollTimer.SetEnabled(on);
    searchButton.SetEnabled(on);
    saveStatusButton.SetEnabled(on);
    disconnectButton.SetEnabled(on);
    EnableOperationControls(on);
}

void MainForm::EnableOperationControls(bool on) {
    for (Control* c : {&ramSaveButton, &ramRestoreButton, &clockReadButton, &pcTimeButton, &clockSetButton, &ramClearButton, &ramViewAllButton,
                       &epromViewAllButton, &ramRangeButton, &epromRangeButton, &ramViewClearButton, &epromViewClearButton, &ramViewSaveButton,
                       &epromViewSaveButton, &rtcSetButton, &epromSaveButton, &timekeeperSetButton, &cellReadButton, &cellWriteButton,
                       &extrasGroup, &helpMenu, &extrasMenu, &cellPanel, &window})
        c->SetEnabled(on);
    adpSwitchCheck.SetEnabled(on && adpSwitchOffered);
    if (!on) {
        statusBar.SetColor(colors::Yellow);
        if (about) about->window.SetVisible(false);
        if (jumperHelp) jumperHelp->window.SetVisible(false);
        if (password) password->window.SetVisible(false);
    } else {
        statusBar.SetColor(colors::MoneyGreen);
    }
}

void MainForm::ShowConnectionDropped() {
    EnableOperationControls(false);
    searchButton.SetEnabled(true);
    saveStatusButton.SetEnabled(true);
    disconnectButton.SetEnabled(false);
    memoryGroup.SetVisible(false);
    moduleControlsPanel.SetVisible(false);
    SetHeight(kStartHeight);
    window.SetEnabled(true);
}

void MainForm::ApplyExtraFunctions(int moduleType) {
    if (!extraFunctionsCheck.checked) {
        for (Control* c : {&rangeGroup, &ramClearButton, &cellPanel, &rtcGroup, &timekeeperGroup})
            c->SetVisible(false);
        return;
    }
    rangeGroup.SetVisible(true);
    ramClearButton.SetVisible(true);
    cellPanel.SetVisible(true);
    const ModuleProfile* profile = FindProfile(moduleType);
    const RegisterGroup group = profile ? profile->registers : RegisterGroup::None;
    if (group == RegisterGroup::None) return;  // the groups stay as they are
    rtcGroup.SetVisible(group == RegisterGroup::Rtc);
    timekeeperGroup.SetVisible(group == RegisterGroup::Timekeeper);
}

}  // namespace qvd
