#include "core/link/Supervisor.h"

#include "core/form/MessageBox.h"
#include "core/link/BoxWithoutPolls.h"
#include "core/serial/PortNames.h"
#include "core/wire/AnswerFields.h"
#include "core/wire/StatusCodes.h"
#include "core/wire/Text.h"

#include <cerrno>
#include <set>

namespace qvd {

namespace {

constexpr uint32_t kEnumerationInterval = 100;
constexpr uint32_t kPollInterval = 1000;
constexpr uint32_t kReleaseWait = 100;
constexpr uint32_t kErrorResetPause = 3000;

const std::string kReleaseText(1, kReleaseByte);

// With what fixes it: group membership counts from the next login on.
std::string NoAccessLine(const std::string& device, const std::string& group) {
    return "Kein Zugriff auf " + device + ": Benutzer muss Mitglied der Gruppe " + group +
           " sein. Abhilfe: sudo adduser $USER " + group + ", danach neu anmelden.";
}

}  // namespace

Supervisor::Supervisor(Host& host, MainForm& form, CommandExchange& exchange, OperationRunner& runner,
                       ServiceGate& serviceGate)
    : host_(host), form_(form), exchange_(exchange), runner_(runner), serviceGate_(serviceGate) {}

void Supervisor::Start() {
    form_.window.SetCaption(kWindowCaption);
    form_.SetWidth(kNormalWidth);
    form_.SetHeight(kStartHeight);
    host_.ShowMessage(kProgramTitle, kNoticeText, MessageIcon::None);

    form_.LogLine("***********************");
    form_.LogLine(" QVD-PC Version  1.30");
    form_.LogLine(" Service-Programm für das QVD-Modul");
    form_.LogLine(" (BW- und NSM-Spielemodule)");
    form_.LogLine("***********************");

    serviceGate_.Reset();
    form_.pollTimer.SetEnabled(true);
    form_.searchButton.SetEnabled(false);
    form_.disconnectButton.SetEnabled(false);
    form_.saveStatusButton.SetEnabled(false);
}

void Supervisor::OnPollTick() {
    switch (runner_.connection().state()) {
        case ConnState::Start:
            form_.pollTimer.SetInterval(kEnumerationInterval);
            form_.LogLine("Suche alle COM...");
            runner_.EnumerationStarted();
            break;
        case ConnState::Enumerate:
            EnumeratePorts();
            break;
        case ConnState::Idle:
            break;
        case ConnState::Connected:
            if (serviceGate_.JudgeEntry()) PollStatus();
            break;
        case ConnState::FileRead:
        case ConnState::RamViewRead:
        case ConnState::EpromViewRead:
            break;  // the running transfer has the ticks
    }
}

void Supervisor::EnumerateNow() {
    form_.LogLine("Suche alle COM...");
    runner_.EnumerationStarted();
    EnumeratePorts();
}

void Supervisor::EnumeratePorts() {
    form_.searchButton.SetEnabled(false);
    form_.saveStatusButton.SetEnabled(false);
    bool found = false;
    std::set<std::string> refused;
    portProblems_.clear();
    for (int n = exchange_.ports().first; n <= exchange_.ports().last; ++n) {
        try {
            exchange_.OpenPort(n);
        } catch (const EVaCommError& error) {
            // Absent ports are skipped silently. A device that exists but
            // refuses us, or that another program holds, is skipped too, but
            // named: the user can do something about it.
            const std::string device = exchange_.PortDevice();
            if ((error.Code() == EACCES || error.Code() == EPERM) && refused.insert(device).second)
                portProblems_.push_back(NoAccessLine(device, PortGroupOf(device)));
            else if (error.Code() == EBUSY && refused.insert(device).second)
                portProblems_.push_back("COM " + std::to_string(n) + " (" + device +
                                        ") ist von einem anderen Programm belegt.");
            else
                continue;
            form_.LogLine(portProblems_.back());
            continue;
        }
        const std::string name = describePort ? describePort(exchange_.PortDevice()) : "";
        form_.LogLine("Vorhanden: COM " + std::to_string(n) + (name.empty() ? "" : " (" + name + ")"));
        found = true;
        exchange_.ClosePort();
    }
    runner_.EnumerationEnded();
    form_.pollTimer.SetInterval(kPollInterval);
    if (found)
        form_.LogLine("OK");
    else
        form_.LogInfo("Keine COM-Schnittstelle gefunden.");
    form_.searchButton.SetEnabled(true);
    form_.saveStatusButton.SetEnabled(true);
}

void Supervisor::PollStatus() {
    const bool answered = exchange_.ExchangeCommand("r", 18);
    // The exchange waited with events turning: a disconnect or the close may
    // have ended the connection meanwhile, and then this answer is stale.
    if (runner_.connection().state() != ConnState::Connected) return;
    if (!answered) {
        HandleNoAnswer();
        return;
    }
    const std::string answer = exchange_.LastAnswer();
    // The service group shows the answer while it takes input.
    if (!runner_.ControlsHeld()) form_.lastPollLabel.SetCaption(FromWire(answer));
    noAnswerCount_ = 0;
    // Compared as text, so that "1F" lies below "20": the code ranges of
    // the adapter are defined on its two characters, not on their value.
    const std::string code = Field(answer, 1, 2);
    if (code <= "00" || code >= "40") {
        form_.messagePanel.SetCaption("OK");
        form_.SetLogColors(colors::Green, colors::Lime);
        return;
    }
    HandleAdapterError(code);
}

void Supervisor::HandleAdapterError(const std::string& code) {
    const std::string codeText = FromWire(code);
    if (code == lastErrorCode_) {
        runner_.Dropped();
        exchange_.SendCommand(kReleaseText, kReleaseWait);
        form_.disconnectButton.SetEnabled(false);
        StopOperationsOfferSearch();
        form_.LogInfo("QVD-Modul: Fehlerwiederholung=" + FromWire(lastErrorCode_) + "/" + codeText);
        ShowBoxWithoutPolls(host_, form_, 
                "QVD-Modul: Fehlerwiederholung\r\rFehler wird nicht zurückgesetzt. QVD-Modul ab- "
                "und wieder anschließen.",
                MessageIcon::Error);
        return;
    }

    form_.SetLogColors(colors::Red, colors::Yellow);
    form_.LogInfo("FEHLER: " + StatusCodeText(code));
    if (code < "20") {
        runner_.Dropped();
        form_.disconnectButton.SetEnabled(false);
        form_.LogInfo("Fataler QVD-Modul-Fehler = " + codeText);
        if (code == "18") {  // no game module plugged in: nothing to reset
            StopOperationsOfferSearch();
            ShowBoxWithoutPolls(host_, form_, 
                    "Fataler QVD-Modul-Fehler\r\rBW- oder NSM-Modul aufstecken und dann QVD-Modul "
                    "einschalten.",
                    MessageIcon::Error);
            return;
        }
        form_.LogInfo("QVD-Modul-RESET wurde ausgeführt");
        ShowBoxWithoutPolls(host_, form_, 
                "Fataler QVD-Modul-Fehler\r\rQVD-Modul-RESET wurde ausgeführt.\r\rBitte \"Neue "
                "Verbindung\" betätigen.",
                MessageIcon::Error);
        exchange_.ExchangeCommand("z0001", 6);
        DropConnection();
        return;
    }

    // 20 up to below 40: the adapter can be told to let go of it.
    lastErrorCode_ = code;
    if (exchange_.ExchangeCommand("w0001", 6)) {
        form_.LogInfo("QVD-Modul-Fehler (" + codeText + ") wurde zurückgesetzt.");
        PauseAfterReset();
    } else {
        form_.LogInfo("! QVD-Modul: Fehler konnte nicht zurückgesetzt werden !");
        ShowBoxWithoutPolls(host_, form_,  "QVD-Modul-Fehler\r\rFehler konnte nicht zurückgesetzt werden",
                MessageIcon::Error);
    }
}

void Supervisor::PauseAfterReset() {
    // A poll inside a running pause that resets another error lets that
    // pause cover it. Waiting here too would nest one pause in the next for
    // as long as an adapter's errors alternate, until the stack runs out.
    if (resetPauseRunning_) return;
    form_.LogLine("Bitte warten...");
    // Ticks falling due meanwhile run nested and poll again.
    resetPauseRunning_ = true;
    exchange_.DelayWithEvents(kErrorResetPause);
    resetPauseRunning_ = false;
    form_.LogLine("OK");
}

void Supervisor::HandleNoAnswer() {
    if (noAnswerCount_ <= 2) {
        ++noAnswerCount_;
        return;
    }
    if (noAnswerCount_ <= 4) {
        form_.EnableControls(false);
        form_.SetLogColors(colors::Maroon, colors::Yellow);
        form_.LogInfo("Keine Kommunikation mit dem QVD-Modul (" +
                      std::to_string(noAnswerCount_ - 2) +
                      "). Erneuter Verbindungsaufbau folgt...");
        form_.EnableControls(true);
        ++noAnswerCount_;
        return;
    }
    runner_.Dropped();
    form_.LogInfo("Kein erneuter Kommunikationsaufbau mit dem QVD-Modul möglich.");
    ShowBoxWithoutPolls(host_, form_, 
            "Keine Verbindung zum QVD-Modul\r\rVerbindungsleitung zwischen QVD-Modul und PC "
            "prüfen.\r\rAnschließend \"Neue Verbindung\" betätigen.",
            MessageIcon::Error);
    DropConnection();
}

void Supervisor::DropConnection() {
    form_.ShowConnectionDropped();
    exchange_.ClosePort();
}

void Supervisor::StopOperationsOfferSearch() {
    form_.EnableOperationControls(false);
    form_.searchButton.SetEnabled(true);
    form_.saveStatusButton.SetEnabled(true);
    form_.window.SetEnabled(true);
}

void Supervisor::Disconnect() {
    runner_.Dropped();
    exchange_.SendCommand(kReleaseText, kReleaseWait);
    form_.disconnectButton.SetEnabled(false);
    form_.EnableOperationControls(false);
    form_.memoryGroup.SetVisible(false);
    form_.moduleControlsPanel.SetVisible(false);
    form_.searchButton.SetCaption("QVD-BW suchen");
    form_.SetHeight(kStartHeight);
    form_.LogInfo("Verbindung zum QVD-Modul wurde getrennt");
    form_.window.SetEnabled(true);
}

}  // namespace qvd
