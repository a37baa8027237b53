#include "core/module/AdapterSearch.h"

#include "core/form/MessageBox.h"
#include "core/form/Text.h"
#include "core/link/AnswerFields.h"
#include "core/module/AdapterInfo.h"
#include "core/module/Identification.h"
#include "core/module/ModuleProfile.h"

#include <stdexcept>

namespace qvd {

namespace {

// Any failure while a port is opened, probed or identified abandons the port.
struct PortAbandoned : std::runtime_error {
    PortAbandoned() : std::runtime_error("port abandoned") {}
};

bool IsDefinedModule(uint8_t type) { return FindProfile(type) != nullptr; }

}  // namespace

AdapterSearch::AdapterSearch(Host& host, MainForm& form, PasswordForm& password,
                             CommandExchange& link, Connection& conn, Supervisor& supervisor,
                             ClockOperations& clock)
    : host_(host), form_(form), password_(password), link_(link), conn_(conn),
      supervisor_(supervisor), clock_(clock) {}

bool AdapterSearch::ProbeAdapter(char probe) {
    TVaComm& comm = link_.comm();
    comm.WriteText(std::string(1, probe));
    link_.DelayWithEvents(50);
    const std::string echo = comm.ReadText();
    return !echo.empty() && echo[0] == probe;
}

void AdapterSearch::Button3Click() {
    TVaComm& comm = link_.comm();
    comm.Close();
    form_.Memo2.Clear();
    form_.NSM1.SetEnabled(false);
    form_.SetLogColors(colors::Green, colors::Lime);
    form_.EnableControls(false);
    conn_.lastErrorCode.clear();
    bool found = false;
    bool undefinedModule = false;
    conn_.state = ConnState::Idle;

    for (int port = 1; port <= 16; ++port) {
        comm.SetPortNum(port);
        link_.DelayWithEvents(100);
        try {
            comm.Open();
            form_.LogLine(std::string(50, '-'));
            form_.LogLine("Suche QVD-Modul an COM" + std::to_string(port));
            conn_.lastAnswer = comm.ReadText();
            link_.SendCommand(std::string(1, kReleaseByte), 100);
            if (!ProbeAdapter(kProbeByte)) {
                comm.Close();
                continue;
            }
            const Outcome outcome = Identify(port);
            found = outcome == Outcome::Connected;
            undefinedModule = outcome == Outcome::UndefinedModule;
            break;
        } catch (const std::exception&) {
            // The port counts as not found; what the attempt logged stays.
            found = false;
            undefinedModule = false;
            try {
                comm.Close();
            } catch (const std::exception&) {
            }
        }
    }
    Finish(found, undefinedModule);
}

AdapterSearch::Outcome AdapterSearch::Identify(int port) {
    TVaComm& comm = link_.comm();
    link_.DelayWithEvents(100);
    link_.SendCommand("i\r", 100);
    const std::string answer = comm.ReadText();
    conn_.lastAnswer = answer;

    if (CheckIdentification(answer) != IdentificationVerdict::Accepted) {
        Reject(answer);
        return Outcome::Rejected;
    }
    if (HasServiceMarking(answer)) conn_.serviceAdapter = true;

    form_.LogLine("QVD-Modul gefunden");
    password_.Edit2.SetCaption("");
    form_.StatusPanel0.SetCaption("COM: " + std::to_string(port));
    form_.Button3.SetCaption("Neue Verbindung + Infos erneuern");
    form_.Memo2.AddText("Version/SN: " + FromWire(answer));
    form_.Label22.SetCaption(FromWire(WithoutAuthor(answer)));

    link_.ExchangeCommand("r", 18);
    const std::string status = conn_.lastAnswer;
    const std::string code = Field(status, 1, 2);
    if (code == "18") {
        conn_.moduleType = 0;
    } else {
        const std::string digit = CharAt(status, 3);
        if (digit.empty() || digit[0] < '0' || digit[0] > '9') throw PortAbandoned();
        conn_.moduleType = static_cast<uint8_t>(digit[0] - '0');
    }
    form_.Memo2.AddText(StatusLine(code));
    form_.StatusPanel1.SetCaption(StatusCodeText(code));

    if (!IsDefinedModule(conn_.moduleType)) {
        form_.LogError("FEHLER: Kein angeschlossenes Modul definiert.");
        supervisor_.Button5Click();
        return Outcome::UndefinedModule;
    }
    conn_.state = ConnState::Connected;
    ShowModule();
    form_.LogInfo("Modul Zeit & Datum: " + form_.Panel3.caption);
    AppendReport();
    if (form_.CheckBox3.checked) form_.ApplyExtraFunctions(conn_.moduleType);
    return Outcome::Connected;
}

void AdapterSearch::ShowModule() {
    const uint8_t type = conn_.moduleType;
    const ModuleProfile* profile = FindProfile(type);
    if (!profile || (!IsBw(type) && !IsNsm(type))) return;  // adp: nothing here

    form_.StatusPanel3.SetCaption(profile->statusName);
    form_.LogLine(profile->recognitionLine);
    form_.Label13.SetCaption(profile->ramLimitCaption);
    form_.Label14.SetCaption(profile->epromLimitCaption);
    if (type == 4 || type == 5) form_.BW2EPROMaufteilen1.SetEnabled(true);
    if (type == 2) {
        form_.NSM1.SetEnabled(true);
        form_.LogLine("ACHTUNG: Beim NSM-12sek.-Modul, muss die Jumper-Einstellung beachtet werden "
                      "(siehe Hilfe).");
    }
    if (type == 3) {
        form_.adpSwitchOffered = true;
        form_.CheckBox14.SetEnabled(true);
    }
    clock_.ReadClockIntoFields();
    form_.Edit11.SetMaxLength(profile->cellMaxLength);
}

void AdapterSearch::AppendReport() {
    link_.ExchangeCommand("x", 80);
    for (const std::string& line : ErrorMemoryLines(conn_.lastAnswer)) form_.Memo2.AddLine(line);
    link_.ExchangeCommand("X", 12);
    form_.Memo2.AddLine(ErrorCodes1AtoFLine(conn_.lastAnswer));
    link_.ExchangeCommand("s", 30);
    for (const std::string& line : CounterLines(conn_.lastAnswer)) form_.Memo2.AddLine(line);
}

void AdapterSearch::Reject(const std::string& answer) {
    if (CheckIdentification(answer) == IdentificationVerdict::TooOld) {
        form_.LogLine("Nicht kompatible zum QVD-Modul: " + FromWire(Field(answer, 12, 6)));
        ShowBox(host_, "Diese QVD-PC-Version ist nicht Abwärtskompatibel zum QVD-Modul.",
                MessageIcon::Warning);
    } else {
        ShowBox(host_, "Kein  QVD-Modul erkannt.", MessageIcon::Warning);
    }
}

void AdapterSearch::Finish(bool found, bool undefinedModule) {
    form_.Timer1.SetEnabled(true);
    // Every unsuccessful search says so, also the first after start-up; a
    // module the program does not know is no connection either.
    if (!undefinedModule) {
        if (!found) {
            conn_.state = ConnState::Idle;
            form_.SetLogColors(colors::Maroon, colors::Yellow);
            form_.LogInfo("QVD-Modul nicht gefunden.");
            ShowBox(host_, "QVD-Modul NICHT gefunden.\r\rQVD-BW bitte einschalten und mit dem PC verbinden.",
                    MessageIcon::Warning);
            link_.comm().Close();
        } else {
            form_.Panel1.SetVisible(true);
            form_.GroupBox4.SetVisible(true);
            form_.CheckBox3.SetEnabled(true);
            form_.SetHeight(kConnectedHeight);
            form_.EnableControls(true);
            conn_.noAnswerCount = 0;
        }
    }
    form_.window.SetEnabled(true);
    form_.Button3.SetEnabled(true);
    form_.Button1.SetEnabled(true);
}

}  // namespace qvd
