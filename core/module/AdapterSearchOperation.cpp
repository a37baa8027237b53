#include "core/module/AdapterSearchOperation.h"

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

AdapterSearchOperation::AdapterSearchOperation(Host& host, MainForm& form, PasswordForm& password,
                             CommandExchange& exchange, OperationRunner& runner, Supervisor& supervisor)
    : host_(host), form_(form), password_(password), exchange_(exchange), runner_(runner),
      supervisor_(supervisor) {}

bool AdapterSearchOperation::ProbeAdapter(char probe) {
    if (!exchange_.WriteRaw(std::string(1, probe))) return false;
    exchange_.DelayWithEvents(50);
    const std::string echo = exchange_.ReadRaw();
    return !echo.empty() && echo[0] == probe;
}

void AdapterSearchOperation::SearchAdapter(BusyLock& lock) {
    exchange_.ClosePort();
    form_.infoMemo.Clear();
    form_.jumperHelpItem.SetEnabled(false);
    form_.SetLogColors(colors::Green, colors::Lime);
    lock.TakeControls();
    supervisor_.ForgetLastError();
    // The service marking belongs to the adapter this search finds, if any.
    bool found = false;
    bool undefinedModule = false;
    runner_.SearchStarted();

    for (int port = exchange_.ports().first; port <= exchange_.ports().last; ++port) {
        exchange_.DelayWithEvents(100);
        try {
            exchange_.OpenPort(port);
            form_.LogLine(std::string(50, '-'));
            form_.LogLine("Suche QVD-Modul an COM" + std::to_string(port));
            exchange_.SetLastAnswer(exchange_.ReadRaw());
            exchange_.SendCommand(std::string(1, kReleaseByte), 100);
            if (!ProbeAdapter(kProbeByte)) {
                exchange_.ClosePort();
                continue;
            }
            // A port that fails in the middle of the identification is
            // abandoned like one that fails to open.
            exchange_.SetLinkFailuresRaise(true);
            const Outcome outcome = Identify(port);
            exchange_.SetLinkFailuresRaise(false);
            found = outcome == Outcome::Connected;
            undefinedModule = outcome == Outcome::UndefinedModule;
            break;
        } catch (const std::exception&) {
            // The port counts as not found; what the attempt logged stays.
            // Nothing of the abandoned adapter stays in the info window (nor
            // in the status file made from it).
            exchange_.SetLinkFailuresRaise(false);
            runner_.SearchStarted();
            form_.infoMemo.Clear();
            found = false;
            undefinedModule = false;
            try {
                exchange_.ClosePort();
            } catch (const std::exception&) {
            }
        }
    }
    Finish(lock, found, undefinedModule);
}

AdapterSearchOperation::Outcome AdapterSearchOperation::Identify(int port) {
    exchange_.DelayWithEvents(100);
    exchange_.SendCommand("i\r", 100);
    const std::string answer = exchange_.ReadRaw();
    exchange_.SetLastAnswer(answer);

    if (CheckIdentification(answer) != IdentificationVerdict::Accepted) {
        Reject(answer);
        return Outcome::Rejected;
    }
    runner_.AdapterIdentified(AdapterVersion(FromWire(WithoutAuthor(answer))), HasServiceMarking(answer));

    form_.LogLine("QVD-Modul gefunden");
    password_.handOverEdit.SetCaption("");
    form_.portPanel.SetCaption("COM: " + std::to_string(port));
    form_.searchButton.SetCaption("Neue Verbindung + Infos erneuern");
    form_.infoMemo.AddText("Version/SN: " + FromWire(answer));
    form_.identificationLabel.SetCaption(FromWire(WithoutAuthor(answer)));

    exchange_.ExchangeCommand("r", 18);
    const std::string status = exchange_.LastAnswer();
    const std::string code = Field(status, 1, 2);
    if (code == "18") {
        runner_.ModuleTypeRead(0);
    } else {
        const std::string digit = CharAt(status, 3);
        if (digit.empty() || digit[0] < '0' || digit[0] > '9') throw PortAbandoned();
        runner_.ModuleTypeRead(static_cast<uint8_t>(digit[0] - '0'));
    }
    form_.infoMemo.AddText(StatusLine(code));
    form_.messagePanel.SetCaption(StatusCodeText(code));

    const uint8_t type = runner_.connection().moduleType();
    if (!IsDefinedModule(type)) {
        form_.LogError("FEHLER: Kein angeschlossenes Modul definiert.");
        supervisor_.Disconnect();
        return Outcome::UndefinedModule;
    }
    runner_.Connected();
    ShowModule();
    form_.LogInfo("Modul Zeit & Datum: " + form_.clockDisplay.caption);
    AppendReport();
    if (form_.extraFunctionsCheck.checked) form_.ApplyExtraFunctions(type);
    return Outcome::Connected;
}

void AdapterSearchOperation::ShowModule() {
    const ModuleProfile* profile = FindProfile(runner_.connection().moduleType());
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

void AdapterSearchOperation::AppendReport() {
    exchange_.ExchangeCommand("x", 80);
    for (const std::string& line : ErrorMemoryLines(exchange_.LastAnswer())) form_.infoMemo.AddLine(line);
    exchange_.ExchangeCommand("X", 12);
    form_.infoMemo.AddLine(ErrorCodes1AtoFLine(exchange_.LastAnswer()));
    exchange_.ExchangeCommand("s", 30);
    for (const std::string& line : CounterLines(exchange_.LastAnswer())) form_.infoMemo.AddLine(line);
}

void AdapterSearchOperation::Reject(const std::string& answer) {
    if (CheckIdentification(answer) == IdentificationVerdict::TooOld) {
        form_.LogLine("Nicht kompatible zum QVD-Modul: " + FromWire(Field(answer, 12, 6)));
        ShowBox(host_, "Diese QVD-PC-Version ist nicht Abwärtskompatibel zum QVD-Modul.",
                MessageIcon::Warning);
    } else {
        ShowBox(host_, "Kein  QVD-Modul erkannt.", MessageIcon::Warning);
    }
}

void AdapterSearchOperation::Finish(BusyLock& lock, bool found, bool undefinedModule) {
    lock.Report(found ? qvd::Outcome::Succeeded : qvd::Outcome::AdapterLost);
    lock.Release();
    // Every unsuccessful search says so, also the first after start-up; a
    // module the program does not know is no connection either.
    if (!undefinedModule) {
        if (!found) {
            runner_.Dropped();
            form_.SetLogColors(colors::Maroon, colors::Yellow);
            form_.LogInfo("QVD-Modul nicht gefunden.");
            ShowBox(host_, "QVD-Modul NICHT gefunden.\r\rQVD-BW bitte einschalten und mit dem PC verbinden.",
                    MessageIcon::Warning);
            exchange_.ClosePort();
        } else {
            form_.moduleControlsPanel.SetVisible(true);
            form_.memoryGroup.SetVisible(true);
            form_.extraFunctionsCheck.SetEnabled(true);
            form_.SetHeight(kConnectedHeight);
            lock.GiveControlsBack();
            supervisor_.WatchNewConnection();
        }
    }
    form_.window.SetEnabled(true);
    form_.searchButton.SetEnabled(true);
    form_.saveStatusButton.SetEnabled(true);
}

}  // namespace qvd
