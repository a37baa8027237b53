#pragma once
// The main window (TForm1) as data: every control under its designer name,
// the window layouts, the status bar, the menus, the message log and the
// busy lock.
#include "core/form/Form.h"
#include "core/host/EventPump.h"

#include <functional>
#include <string>

namespace qvd {

class AboutForm;
class PasswordForm;
class JumperHelpForm;

inline constexpr const char* kProgramTitle = "QVD-PC";
inline constexpr const char* kWindowCaption = "QVD-PC  V1.30  24.06.2007";

// Window layouts (outer sizes).
inline constexpr int kNormalWidth = 773;
inline constexpr int kServiceWidth = 920;
inline constexpr int kStartHeight = 247;
inline constexpr int kConnectedHeight = 680;

// The notice shown at start-up and by "Hinweis": three lines joined by CR.
extern const char* const kNoticeText;

class MainForm : public Form {
public:
    explicit MainForm(EventPump& pump);

    // --- region A ---
    Control& topPanel = Add("Panel2", ControlKind::Panel);
    Control& statusLabel = Add("Label2", ControlKind::Label, "Status:", &topPanel);
    Control& logMemo = Add("Memo1", ControlKind::Memo, "", &topPanel);
    Control& searchButton = Add("Button3", ControlKind::Button, "QVD-BW suchen", &topPanel);
    Control& disconnectButton = Add("Button5", ControlKind::Button, "Verbindung trennen", &topPanel);
    Control& saveStatusButton = Add("Button1", ControlKind::Button, "Status + QVD-Info's speichern", &topPanel);
    Control& extraFunctionsCheck = Add("CheckBox3", ControlKind::CheckBox, "Zusatzfunktionen", &topPanel);
    Control& infoLabel = Add("Label1", ControlKind::Label, "QVD-Modul-Info's:", &topPanel);
    Control& infoMemo = Add("Memo2", ControlKind::Memo, "", &topPanel);
    Control& identificationLabel = Add("Label22", ControlKind::Label, "", &topPanel);
    Control& activityIndicator = Add("Panel4", ControlKind::Panel);
    Control& reportBuffer = Add("Memo5", ControlKind::Memo);

    // --- region B ---
    Control& moduleControlsPanel = Add("Panel1", ControlKind::Panel);
    Control& clockGroup = Add("GroupBox6", ControlKind::GroupBox, "Zeit/Datum", &moduleControlsPanel);
    Control& clockFieldsLabel = Add("Label3", ControlKind::Label, "Std.  Min.   Tag   M.  Jahr", &clockGroup);
    Control& hoursEdit = Add("Edit2", ControlKind::Edit, "22", &clockGroup);
    Control& minutesEdit = Add("Edit6", ControlKind::Edit, "22", &clockGroup);
    Control& dayEdit = Add("Edit5", ControlKind::Edit, "31", &clockGroup);
    Control& monthEdit = Add("Edit7", ControlKind::Edit, "10", &clockGroup);
    Control& yearEdit = Add("Edit8", ControlKind::Edit, "05", &clockGroup);
    Control& clockReadButton = Add("Button7", ControlKind::Button, "Abruf", &clockGroup);
    Control& clockSetButton = Add("Button8", ControlKind::Button, "Setzen", &clockGroup);
    Control& pcTimeButton = Add("Button30", ControlKind::Button, "PCzeit", &clockGroup);
    Control& clockDisplay = Add("Panel3", ControlKind::Panel, "---", &clockGroup);

    Control& timekeeperGroup = Add("GroupBox3", ControlKind::GroupBox, "Timekeeper-Register-Bits", &clockGroup);
    Control& calibrationLabel = Add("Label16", ControlKind::Label, "Calibration (-31...31):", &timekeeperGroup);
    Control& calibrationEdit = Add("Edit1", ControlKind::Edit, "0", &timekeeperGroup);
    Control& timekeeperWeekdayLabel = Add("Label19", ControlKind::Label, "Wochentag:", &timekeeperGroup);
    Control& timekeeperWeekdayEdit = Add("Edit9", ControlKind::Edit, "1", &timekeeperGroup);
    Control& timekeeperStopCheck = Add("CheckBox15", ControlKind::CheckBox, "Stop", &timekeeperGroup);
    Control& frequencyTestCheck = Add("CheckBox16", ControlKind::CheckBox, "Frequency Test", &timekeeperGroup);
    Control& timekeeperSetButton = Add("Button20", ControlKind::Button, "Setzen", &timekeeperGroup);

    Control& adpClockGroup = Add("GroupBox9", ControlKind::GroupBox, "RTC-Zusatz", &clockGroup);
    Control& adpWeekdayLabel = Add("Label20", ControlKind::Label, "Wochentag", &adpClockGroup);
    Control& adpWeekdayEdit = Add("Edit12", ControlKind::Edit, "0", &adpClockGroup);
    Control& adpExtraLabel = Add("Label21", ControlKind::Label, "Zusatz", &adpClockGroup);
    Control& adpExtraEdit = Add("Edit16", ControlKind::Edit, "0", &adpClockGroup);

    Control& rtcGroup = Add("GroupBox2", ControlKind::GroupBox, "RTC-Register-Bits", &moduleControlsPanel);
    Control& rtcTestCheck = Add("CheckBox10", ControlKind::CheckBox, "Test", &rtcGroup);
    Control& rtc24hCheck = Add("CheckBox1", ControlKind::CheckBox, "24h", &rtcGroup);
    Control& rtcStopCheck = Add("CheckBox4", ControlKind::CheckBox, "Stop", &rtcGroup);
    Control& rtcResetCheck = Add("CheckBox2", ControlKind::CheckBox, "Reset", &rtcGroup);
    Control& rtcT1Check = Add("CheckBox6", ControlKind::CheckBox, "t1", &rtcGroup);
    Control& rtcT0Check = Add("CheckBox7", ControlKind::CheckBox, "t0", &rtcGroup);
    Control& rtcInterruptCheck = Add("CheckBox8", ControlKind::CheckBox, "ITRPT/STND", &rtcGroup);
    Control& rtcMaskCheck = Add("CheckBox9", ControlKind::CheckBox, "Mask", &rtcGroup);
    Control& rtcAdjustCheck = Add("CheckBox12", ControlKind::CheckBox, "Adj", &rtcGroup);
    Control& rtcIrqCheck = Add("CheckBox11", ControlKind::CheckBox, "IRQ", &rtcGroup);
    Control& rtcBusyCheck = Add("CheckBox13", ControlKind::CheckBox, "Busy", &rtcGroup);
    Control& rtcHoldCheck = Add("CheckBox5", ControlKind::CheckBox, "Hold", &rtcGroup);
    Control& rtcSetButton = Add("Button17", ControlKind::Button, "Setzen", &rtcGroup);

    Control& ramGroup = Add("GroupBox7", ControlKind::GroupBox, "RAM", &moduleControlsPanel);
    Control& ramDirectionLabel = Add("Label4", ControlKind::Label, "Datei --> RAM   RAM --> Datei", &ramGroup);
    Control& ramRestoreButton = Add("Button4", ControlKind::Button, "RAM-Inhalt laden", &ramGroup);
    Control& ramSaveButton = Add("Button2", ControlKind::Button, "RAM-Inhalt speichern", &ramGroup);
    Control& ramClearButton = Add("Button12", ControlKind::Button, "RAM löschen", &ramGroup);
    Control& cellPanel = Add("Panel5", ControlKind::Panel, "", &ramGroup);
    Control& cellAddressLabel = Add("Label5", ControlKind::Label, "Adr.:", &cellPanel);
    Control& cellAddressEdit = Add("Edit10", ControlKind::Edit, "000000", &cellPanel);
    Control& cellAddressArrows = Add("UpDown1", ControlKind::UpDown, "", &cellPanel);
    Control& cellValueLabel = Add("Label9", ControlKind::Label, "Wert:", &cellPanel);
    Control& cellValueEdit = Add("Edit11", ControlKind::Edit, "00", &cellPanel);
    Control& cellCharsLabel = Add("Label17", ControlKind::Label, "-", &cellPanel);
    Control& cellReadButton = Add("Button21", ControlKind::Button, "Wert lesen", &cellPanel);
    Control& cellWriteButton = Add("Button22", ControlKind::Button, "Wert setzen", &cellPanel);

    // --- region C ---
    Control& memoryGroup = Add("GroupBox4", ControlKind::GroupBox, "RAM-/ EPROM-Inhalt");
    Control& ramViewLabel = Add("Label6", ControlKind::Label, "RAM:", &memoryGroup);
    Control& ramView = Add("DBMemo1", ControlKind::Memo, "", &memoryGroup);
    Control& ramViewAllButton = Add("Button6", ControlKind::Button, "RAM-Inhalt Gesamt", &memoryGroup);
    Control& ramViewClearButton = Add("Button13", ControlKind::Button, "RAM-Anzeige löschen", &memoryGroup);
    Control& ramViewSaveButton = Add("Button15", ControlKind::Button, "RAM-Anzeige speichern", &memoryGroup);
    Control& epromViewLabel = Add("Label7", ControlKind::Label, "EPROM:", &memoryGroup);
    Control& epromView = Add("DBMemo2", ControlKind::Memo, "", &memoryGroup);
    Control& epromViewAllButton = Add("Button9", ControlKind::Button, "EPROM-Inhalt Gesamt", &memoryGroup);
    Control& epromViewClearButton = Add("Button14", ControlKind::Button, "EPROM-Anzeige löschen", &memoryGroup);
    Control& epromViewSaveButton = Add("Button16", ControlKind::Button, "EPROM-Anzeige speichern", &memoryGroup);
    Control& epromFileLabel = Add("Label8", ControlKind::Label, "EPROM --> Datei", &memoryGroup);
    Control& epromSaveButton = Add("Button18", ControlKind::Button, "EPROM-Inhalt speichern", &memoryGroup);
    Control& rangeGroup = Add("GroupBox1", ControlKind::GroupBox, "Teilbereich", &memoryGroup);
    Control& rangeStartLabel = Add("Label10", ControlKind::Label, "Anfangsadresse:", &rangeGroup);
    Control& rangeStartEdit = Add("Edit3", ControlKind::Edit, "0000", &rangeGroup);
    Control& rangeStartUnitLabel = Add("Label12", ControlKind::Label, "00h", &rangeGroup);
    Control& rangeEndLabel = Add("Label11", ControlKind::Label, "Endadresse:", &rangeGroup);
    Control& rangeEndEdit = Add("Edit4", ControlKind::Edit, "0001", &rangeGroup);
    Control& rangeEndUnitLabel = Add("Label15", ControlKind::Label, "00h", &rangeGroup);
    Control& ramLimitLabel = Add("Label13", ControlKind::Label, "max. RAM-Adr.:", &rangeGroup);
    Control& epromLimitLabel = Add("Label14", ControlKind::Label, "max. EPROM-Adr.:", &rangeGroup);
    Control& ramRangeButton = Add("Button10", ControlKind::Button, "RAM-Inhalt Teilbereich", &rangeGroup);
    Control& epromRangeButton = Add("Button11", ControlKind::Button, "EPROM-Inhalt Teilbereich", &rangeGroup);

    // --- region D (service layout only) ---
    Control& extrasGroup = Add("GroupBox8", ControlKind::GroupBox, "QVD-Extras");
    Control& lastPollLabel = Add("Label18", ControlKind::Label, "---", &extrasGroup);
    Control& clearErrorsButton = Add("Button19", ControlKind::Button, "Alle Fehler löschen", &extrasGroup);
    Control& resetAdapterButton = Add("Button26", ControlKind::Button, "Reset", &extrasGroup);
    Control& adpSwitchCheck = Add("CheckBox14", ControlKind::CheckBox, "adp Modul");

    // --- status bar ---
    Control& statusBar = Add("StatusBar2", ControlKind::Panel);
    Control& portPanel = Add("StatusBar2.0", ControlKind::StatusPanel, "COM: --", &statusBar);
    Control& messagePanel = Add("StatusBar2.1", ControlKind::StatusPanel, "Keine Verbindung zum Modul", &statusBar);
    Control& bytesPanel = Add("StatusBar2.2", ControlKind::StatusPanel, "Bytes:", &statusBar);
    Control& moduleNamePanel = Add("StatusBar2.3", ControlKind::StatusPanel, "Kein Modul", &statusBar);
    // Progress of a long transfer, beside the panels; hidden while none runs.
    // Its caption is the text shown in the bar (percent, remaining time).
    Control& progressBar = Add("ProgressBar1", ControlKind::ProgressBar, "", &statusBar);

    // --- main menu ---
    Control& extrasMenu = Add("Extr", ControlKind::Menu, "Extra's");
    Control& splitEpromItem = Add("BW2EPROMaufteilen1", ControlKind::MenuItem, "BW2-EPROM aufteilen", &extrasMenu);
    Control& joinEpromItem = Add("BW2EPROMzusammenfuegen1", ControlKind::MenuItem, "BW2-EPROM zusammenfügen", &extrasMenu);
    Control& compareRamItem = Add("RAMmitDateivergleichen1", ControlKind::MenuItem, "RAM mit Datei vergleichen", &extrasMenu);
    Control& serviceItem = Add("Service1", ControlKind::MenuItem, "Service", &extrasMenu);
    Control& helpMenu = Add("Info1", ControlKind::Menu, "Hilfe");
    Control& jumperHelpItem = Add("NSM1", ControlKind::MenuItem, "NSM-12sek.-Modul", &helpMenu);
    Control& noticeItem = Add("Hinweis1", ControlKind::MenuItem, "Hinweis", &helpMenu);
    Control& aboutItem = Add("Version1", ControlKind::MenuItem, "Info über...", &helpMenu);

    // The poll timer: created disabled with 2000 ms.
    Timer pollTimer;

    // The other windows, closed by the busy lock.
    AboutForm* about = nullptr;
    PasswordForm* password = nullptr;
    JumperHelpForm* jumperHelp = nullptr;

    // Set once a search has offered the adp switch (module type 3). The switch
    // follows the operation controls from then on, so it cannot be ticked
    // while an operation runs.
    bool adpSwitchOffered = false;

    // --- message log ---
    void LogInfo(const std::string& text);
    void LogError(const std::string& text);
    // Every LogError text as it is logged (a caller without a window tells
    // it where no box does).
    std::function<void(const std::string&)> onErrorLogged;
    // Appends to the log window only (status bar untouched, colours kept).
    void LogLine(const std::string& text);
    void SetLogColors(Rgb background, Rgb text);

    // --- busy lock and check box rules ---
    void EnableControls(bool on);
    void EnableOperationControls(bool on);
    // The start layout after the connection has been dropped: only the
    // search and the status file are offered, the window takes input.
    void ShowConnectionDropped();
    // Shows the extra groups of "Zusatzfunktionen" for the module type.
    void ApplyExtraFunctions(int moduleType);

private:
    void AppendLogText(const std::string& text);
};

}  // namespace qvd
