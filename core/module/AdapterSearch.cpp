#include "core/module/AdapterSearch.h"

#include "core/form/MessageBox.h"
#include "core/wire/Text.h"
#include "core/wire/AnswerFields.h"
#include "core/module/AdapterInfo.h"
#include "core/wire/StatusCodes.h"
#include "core/module/Identification.h"
#include "core/wire/ModuleProfile.h"

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
                             CommandExchange& link, Connection& conn, Supervisor& supervisor)
    : host_(host), form_(form), password_(password), link_(link), conn_(conn),
      supervisor_(supervisor) {}

bool AdapterSearch::ProbeAdapter(char probe) {
    TVaComm& comm = link_.comm();
    if (!comm.WriteText(std::string(1, probe))) return false;
    link_.DelayWithEvents(50);
    const std::string echo = comm.ReadText();
    return !echo.empty() && echo[0] == probe;
}

void AdapterSearch::SearchAdapter() {
    TVaComm& comm = link_.comm();
    comm.Close();
    form_.infoMemo.Clear();
    form_.jumperHelpItem.SetEnabled(false);
    form_.SetLogColors(colors::Green, colors::Lime);
    form_.EnableControls(false);
    conn_.lastErrorCode.clear();
    // The service marking belongs to the adapter this search finds, if any.
    conn_.serviceAdapter = false;
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
            // A port that fails in the middle of the identification is
            // abandoned like one that fails to open.
            link_.SetLinkFailuresRaise(true);
            const Outcome outcome = Identify(port);
            link_.SetLinkFailuresRaise(false);
            found = outcome == Outcome::Connected;
            undefinedModule = outcome == Outcome::UndefinedModule;
            break;
        } catch (const std::exception&) {
            // The port counts as not found; what the attempt logged stays.
            link_.SetLinkFailuresRaise(false);
            conn_.serviceAdapter = false;
            conn_.state = ConnState::Idle;
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
    password_.handOverEdit.SetCaption("");
    form_.portPanel.SetCaption("COM: " + std::to_string(port));
    form_.searchButton.SetCaption("Neue Verbindung + Infos erneuern");
    form_.infoMemo.AddText("Version/SN: " + FromWire(answer));
    form_.identificationLabel.SetCaption(FromWire(WithoutAuthor(answer)));

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
    form_.infoMemo.AddText(StatusLine(code));
    form_.messagePanel.SetCaption(StatusCodeText(code));

    if (!IsDefinedModule(conn_.moduleType)) {
        form_.LogError("FEHLER: Kein angeschlossenes Modul definiert.");
        supervisor_.Disconnect();
        return Outcome::UndefinedModule;
    }
    conn_.state = ConnState::Connected;
    ShowModule();
    form_.LogInfo("Modul Zeit & Datum: " + form_.clockDisplay.caption);
    AppendReport();
    if (form_.extraFunctionsCheck.checked) form_.ApplyExtraFunctions(conn_.moduleType);
    return Outcome::Connected;
}

void AdapterSearch::ShowModule() {
    const ModuleProfile* profile = FindProfile(conn_.moduleType);
    if (!profile || profile->family == ModuleFamily::Adp) return;  // nothing shown for adp

    form_.moduleNamePanel.SetCaption(profile->statusName);
    form_.LogLine(profile->recognitionLine);
    form_.ramLimitLabel.SetCaption(profile->ramLimitCaption);
    form_.epromLimitLabel.SetCaption(profile->epromLimitCaption);
    switch (profile->offers) {
        case SearchOffers::EpromSplit:
            form_.splitEpromItem.SetEnabled(true);
            form_.joinEpromItem.SetEnabled(true);
            break;
        case SearchOffers::JumperHelp:
            form_.jumperHelpItem.SetEnabled(true);
            form_.LogLine("ACHTUNG: Beim NSM-12sek.-Modul, muss die Jumper-Einstellung beachtet "
                          "werden (siehe Hilfe).");
            break;
        case SearchOffers::AdpSwitch:
            form_.adpSwitchOffered = true;
            form_.adpSwitchCheck.SetEnabled(true);
            break;
        case SearchOffers::Nothing:
            break;
    }
    if (readClockIntoFields) readClockIntoFields();
    form_.cellValueEdit.SetMaxLength(profile->cellDigits);
}

void AdapterSearch::AppendReport() {
    link_.ExchangeCommand("x", 80);
    for (const std::string& line : ErrorMemoryLines(conn_.lastAnswer)) form_.infoMemo.AddLine(line);
    link_.ExchangeCommand("X", 12);
    form_.infoMemo.AddLine(ErrorCodes1AtoFLine(conn_.lastAnswer));
    link_.ExchangeCommand("s", 30);
    for (const std::string& line : CounterLines(conn_.lastAnswer)) form_.infoMemo.AddLine(line);
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
    form_.pollTimer.SetEnabled(true);
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
            form_.moduleControlsPanel.SetVisible(true);
            form_.memoryGroup.SetVisible(true);
            form_.extraFunctionsCheck.SetEnabled(true);
            form_.SetHeight(kConnectedHeight);
            form_.EnableControls(true);
            conn_.noAnswerCount = 0;
        }
    }
    form_.window.SetEnabled(true);
    form_.searchButton.SetEnabled(true);
    form_.saveStatusButton.SetEnabled(true);
}

}  // namespace qvd
