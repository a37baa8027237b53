#pragma once
// The main window (TForm1) as data: every control under its designer name,
// the window layouts, the status bar, the menus, the message log and the
// busy lock.
#include "core/form/Form.h"
#include "core/host/EventPump.h"

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
    Control& Panel2 = Add("Panel2", ControlKind::Panel);
    Control& Label2 = Add("Label2", ControlKind::Label, "Status:", &Panel2);
    Control& Memo1 = Add("Memo1", ControlKind::Memo, "", &Panel2);
    Control& Button3 = Add("Button3", ControlKind::Button, "QVD-BW suchen", &Panel2);
    Control& Button5 = Add("Button5", ControlKind::Button, "Verbindung trennen", &Panel2);
    Control& Button1 = Add("Button1", ControlKind::Button, "Status + QVD-Info's speichern", &Panel2);
    Control& CheckBox3 = Add("CheckBox3", ControlKind::CheckBox, "Zusatzfunktionen", &Panel2);
    Control& Label1 = Add("Label1", ControlKind::Label, "QVD-Modul-Info's:", &Panel2);
    Control& Memo2 = Add("Memo2", ControlKind::Memo, "", &Panel2);
    Control& Label22 = Add("Label22", ControlKind::Label, "", &Panel2);
    Control& Panel4 = Add("Panel4", ControlKind::Panel);
    Control& Memo5 = Add("Memo5", ControlKind::Memo);

    // --- region B ---
    Control& Panel1 = Add("Panel1", ControlKind::Panel);
    Control& GroupBox6 = Add("GroupBox6", ControlKind::GroupBox, "Zeit/Datum", &Panel1);
    Control& Label3 = Add("Label3", ControlKind::Label, "Std.  Min.   Tag   M.  Jahr", &GroupBox6);
    Control& Edit2 = Add("Edit2", ControlKind::Edit, "22", &GroupBox6);
    Control& Edit6 = Add("Edit6", ControlKind::Edit, "22", &GroupBox6);
    Control& Edit5 = Add("Edit5", ControlKind::Edit, "31", &GroupBox6);
    Control& Edit7 = Add("Edit7", ControlKind::Edit, "10", &GroupBox6);
    Control& Edit8 = Add("Edit8", ControlKind::Edit, "05", &GroupBox6);
    Control& Button7 = Add("Button7", ControlKind::Button, "Abruf", &GroupBox6);
    Control& Button8 = Add("Button8", ControlKind::Button, "Setzen", &GroupBox6);
    Control& Button30 = Add("Button30", ControlKind::Button, "PCzeit", &GroupBox6);
    Control& Panel3 = Add("Panel3", ControlKind::Panel, "---", &GroupBox6);

    Control& GroupBox3 = Add("GroupBox3", ControlKind::GroupBox, "Timekeeper-Register-Bits", &GroupBox6);
    Control& Label16 = Add("Label16", ControlKind::Label, "Calibration (-31...31):", &GroupBox3);
    Control& Edit1 = Add("Edit1", ControlKind::Edit, "0", &GroupBox3);
    Control& Label19 = Add("Label19", ControlKind::Label, "Wochentag:", &GroupBox3);
    Control& Edit9 = Add("Edit9", ControlKind::Edit, "1", &GroupBox3);
    Control& CheckBox15 = Add("CheckBox15", ControlKind::CheckBox, "Stop", &GroupBox3);
    Control& CheckBox16 = Add("CheckBox16", ControlKind::CheckBox, "Frequency Test", &GroupBox3);
    Control& Button20 = Add("Button20", ControlKind::Button, "Setzen", &GroupBox3);

    Control& GroupBox9 = Add("GroupBox9", ControlKind::GroupBox, "RTC-Zusatz", &GroupBox6);
    Control& Label20 = Add("Label20", ControlKind::Label, "Wochentag", &GroupBox9);
    Control& Edit12 = Add("Edit12", ControlKind::Edit, "0", &GroupBox9);
    Control& Label21 = Add("Label21", ControlKind::Label, "Zusatz", &GroupBox9);
    Control& Edit16 = Add("Edit16", ControlKind::Edit, "0", &GroupBox9);

    Control& GroupBox2 = Add("GroupBox2", ControlKind::GroupBox, "RTC-Register-Bits", &Panel1);
    Control& CheckBox10 = Add("CheckBox10", ControlKind::CheckBox, "Test", &GroupBox2);
    Control& CheckBox1 = Add("CheckBox1", ControlKind::CheckBox, "24h", &GroupBox2);
    Control& CheckBox4 = Add("CheckBox4", ControlKind::CheckBox, "Stop", &GroupBox2);
    Control& CheckBox2 = Add("CheckBox2", ControlKind::CheckBox, "Reset", &GroupBox2);
    Control& CheckBox6 = Add("CheckBox6", ControlKind::CheckBox, "t1", &GroupBox2);
    Control& CheckBox7 = Add("CheckBox7", ControlKind::CheckBox, "t0", &GroupBox2);
    Control& CheckBox8 = Add("CheckBox8", ControlKind::CheckBox, "ITRPT/STND", &GroupBox2);
    Control& CheckBox9 = Add("CheckBox9", ControlKind::CheckBox, "Mask", &GroupBox2);
    Control& CheckBox12 = Add("CheckBox12", ControlKind::CheckBox, "Adj", &GroupBox2);
    Control& CheckBox11 = Add("CheckBox11", ControlKind::CheckBox, "IRQ", &GroupBox2);
    Control& CheckBox13 = Add("CheckBox13", ControlKind::CheckBox, "Busy", &GroupBox2);
    Control& CheckBox5 = Add("CheckBox5", ControlKind::CheckBox, "Hold", &GroupBox2);
    Control& Button17 = Add("Button17", ControlKind::Button, "Setzen", &GroupBox2);

    Control& GroupBox7 = Add("GroupBox7", ControlKind::GroupBox, "RAM", &Panel1);
    Control& Label4 = Add("Label4", ControlKind::Label, "Datei --> RAM   RAM --> Datei", &GroupBox7);
    Control& Button4 = Add("Button4", ControlKind::Button, "RAM-Inhalt laden", &GroupBox7);
    Control& Button2 = Add("Button2", ControlKind::Button, "RAM-Inhalt speichern", &GroupBox7);
    Control& Button12 = Add("Button12", ControlKind::Button, "RAM löschen", &GroupBox7);
    Control& Panel5 = Add("Panel5", ControlKind::Panel, "", &GroupBox7);
    Control& Label5 = Add("Label5", ControlKind::Label, "Adr.:", &Panel5);
    Control& Edit10 = Add("Edit10", ControlKind::Edit, "000000", &Panel5);
    Control& UpDown1 = Add("UpDown1", ControlKind::UpDown, "", &Panel5);
    Control& Label9 = Add("Label9", ControlKind::Label, "Wert:", &Panel5);
    Control& Edit11 = Add("Edit11", ControlKind::Edit, "00", &Panel5);
    Control& Label17 = Add("Label17", ControlKind::Label, "-", &Panel5);
    Control& Button21 = Add("Button21", ControlKind::Button, "Wert lesen", &Panel5);
    Control& Button22 = Add("Button22", ControlKind::Button, "Wert setzen", &Panel5);

    // --- region C ---
    Control& GroupBox4 = Add("GroupBox4", ControlKind::GroupBox, "RAM-/ EPROM-Inhalt");
    Control& Label6 = Add("Label6", ControlKind::Label, "RAM:", &GroupBox4);
    Control& DBMemo1 = Add("DBMemo1", ControlKind::Memo, "", &GroupBox4);
    Control& Button6 = Add("Button6", ControlKind::Button, "RAM-Inhalt Gesamt", &GroupBox4);
    Control& Button13 = Add("Button13", ControlKind::Button, "RAM-Anzeige löschen", &GroupBox4);
    Control& Button15 = Add("Button15", ControlKind::Button, "RAM-Anzeige speichern", &GroupBox4);
    Control& Label7 = Add("Label7", ControlKind::Label, "EPROM:", &GroupBox4);
    Control& DBMemo2 = Add("DBMemo2", ControlKind::Memo, "", &GroupBox4);
    Control& Button9 = Add("Button9", ControlKind::Button, "EPROM-Inhalt Gesamt", &GroupBox4);
    Control& Button14 = Add("Button14", ControlKind::Button, "EPROM-Anzeige löschen", &GroupBox4);
    Control& Button16 = Add("Button16", ControlKind::Button, "EPROM-Anzeige speichern", &GroupBox4);
    Control& Label8 = Add("Label8", ControlKind::Label, "EPROM --> Datei", &GroupBox4);
    Control& Button18 = Add("Button18", ControlKind::Button, "EPROM-Inhalt speichern", &GroupBox4);
    Control& GroupBox1 = Add("GroupBox1", ControlKind::GroupBox, "Teilbereich", &GroupBox4);
    Control& Label10 = Add("Label10", ControlKind::Label, "Anfangsadresse:", &GroupBox1);
    Control& Edit3 = Add("Edit3", ControlKind::Edit, "0000", &GroupBox1);
    Control& Label12 = Add("Label12", ControlKind::Label, "00h", &GroupBox1);
    Control& Label11 = Add("Label11", ControlKind::Label, "Endadresse:", &GroupBox1);
    Control& Edit4 = Add("Edit4", ControlKind::Edit, "0001", &GroupBox1);
    Control& Label15 = Add("Label15", ControlKind::Label, "00h", &GroupBox1);
    Control& Label13 = Add("Label13", ControlKind::Label, "max. RAM-Adr.:", &GroupBox1);
    Control& Label14 = Add("Label14", ControlKind::Label, "max. EPROM-Adr.:", &GroupBox1);
    Control& Button10 = Add("Button10", ControlKind::Button, "RAM-Inhalt Teilbereich", &GroupBox1);
    Control& Button11 = Add("Button11", ControlKind::Button, "EPROM-Inhalt Teilbereich", &GroupBox1);

    // --- region D (service layout only) ---
    Control& GroupBox8 = Add("GroupBox8", ControlKind::GroupBox, "QVD-Extras");
    Control& Label18 = Add("Label18", ControlKind::Label, "---", &GroupBox8);
    Control& Button19 = Add("Button19", ControlKind::Button, "Alle Fehler löschen", &GroupBox8);
    Control& Button26 = Add("Button26", ControlKind::Button, "Reset", &GroupBox8);
    Control& CheckBox14 = Add("CheckBox14", ControlKind::CheckBox, "adp Modul");

    // --- status bar ---
    Control& StatusBar2 = Add("StatusBar2", ControlKind::Panel);
    Control& StatusPanel0 = Add("StatusBar2.0", ControlKind::StatusPanel, "COM: --", &StatusBar2);
    Control& StatusPanel1 = Add("StatusBar2.1", ControlKind::StatusPanel, "Keine Verbindung zum Modul", &StatusBar2);
    Control& StatusPanel2 = Add("StatusBar2.2", ControlKind::StatusPanel, "Bytes:", &StatusBar2);
    Control& StatusPanel3 = Add("StatusBar2.3", ControlKind::StatusPanel, "Kein Modul", &StatusBar2);

    // --- main menu ---
    Control& Extr = Add("Extr", ControlKind::Menu, "Extra's");
    Control& BW2EPROMaufteilen1 = Add("BW2EPROMaufteilen1", ControlKind::MenuItem, "BW2-EPROM aufteilen", &Extr);
    Control& Service1 = Add("Service1", ControlKind::MenuItem, "Service", &Extr);
    Control& Info1 = Add("Info1", ControlKind::Menu, "Hilfe");
    Control& NSM1 = Add("NSM1", ControlKind::MenuItem, "NSM-12sek.-Modul", &Info1);
    Control& Hinweis1 = Add("Hinweis1", ControlKind::MenuItem, "Hinweis", &Info1);
    Control& Version1 = Add("Version1", ControlKind::MenuItem, "Info über...", &Info1);

    // The poll timer: created disabled with 2000 ms.
    Timer Timer1;

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
    // Appends to the log window only (status bar untouched, colours kept).
    void LogLine(const std::string& text);
    void SetLogColors(Rgb background, Rgb text);

    // --- busy lock and check box rules ---
    void EnableControls(bool on);
    void EnableOperationControls(bool on);
    // Shows the extra groups of "Zusatzfunktionen" for the module type.
    void ApplyExtraFunctions(int moduleType);

private:
    void AppendLogText(const std::string& text);
};

}  // namespace qvd
