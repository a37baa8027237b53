#include "core/link/Supervisor.h"

#include "core/form/MessageBox.h"
#include "core/wire/Text.h"
#include "core/wire/AnswerFields.h"
#include "core/wire/ModuleProfile.h"
#include "core/wire/StatusCodes.h"

#include <cerrno>
#include <set>

namespace qvd {

namespace {

constexpr int kFirstPort = 1;
constexpr int kLastPort = 16;
constexpr uint32_t kEnumerationInterval = 100;
constexpr uint32_t kPollInterval = 1000;
constexpr uint32_t kReleaseWait = 100;
constexpr uint32_t kErrorResetPause = 3000;
constexpr uint32_t kLockOutPause = 17000;
constexpr int kFadeFrom = 255;
constexpr int kFadeTo = 85;

const std::string kReleaseText(1, kReleaseByte);

}  // namespace

Supervisor::Supervisor(Host& host, MainForm& form, PasswordForm& password, CommandExchange& link,
                       Connection& conn)
    : host_(host), form_(form), password_(password), link_(link), conn_(conn) {}

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

    conn_.moduleType = 0;
    conn_.serviceAdapter = false;
    conn_.wrongPasswordCount = 0;
    conn_.serviceOn = conn_.serviceEverGranted = false;
    form_.pollTimer.SetEnabled(true);
    form_.searchButton.SetEnabled(false);
    form_.disconnectButton.SetEnabled(false);
    form_.saveStatusButton.SetEnabled(false);
}

void Supervisor::OnPollTick() {
    switch (conn_.state) {
        case ConnState::Start:
            form_.pollTimer.SetInterval(kEnumerationInterval);
            form_.LogLine("Suche alle COM...");
            conn_.state = ConnState::Enumerate;
            break;
        case ConnState::Enumerate:
            EnumeratePorts();
            break;
        case ConnState::Idle:
            break;
        case ConnState::Connected:
            TickConnected();
            break;
        case ConnState::FileRead:
        case ConnState::RamViewRead:
        case ConnState::EpromViewRead:
            if (onTransferTick) onTransferTick();
            break;
    }
}

void Supervisor::EnumeratePorts() {
    form_.searchButton.SetEnabled(false);
    form_.saveStatusButton.SetEnabled(false);
    TVaComm& comm = link_.comm();
    bool found = false;
    std::set<std::string> refused;
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        try {
            comm.SetPortNum(n);
            comm.Open();
        } catch (const EVaCommError& error) {
            // Absent ports are skipped silently. A device that exists but
            // refuses us, or that another program holds, is skipped too, but
            // named: the user can do something about it.
            const std::string device = comm.ResolvedDevice();
            if ((error.Code() == EACCES || error.Code() == EPERM) && refused.insert(device).second)
                form_.LogLine("Kein Zugriff auf " + device +
                              ": Benutzer muss Mitglied der Gruppe dialout sein.");
            else if (error.Code() == EBUSY && refused.insert(device).second)
                form_.LogLine("COM " + std::to_string(n) + " (" + device +
                              ") ist von einem anderen Programm belegt.");
            continue;
        }
        form_.LogLine("Vorhanden: COM " + std::to_string(n));
        found = true;
        comm.Close();
    }
    conn_.state = ConnState::Idle;
    form_.pollTimer.SetInterval(kPollInterval);
    if (found)
        form_.LogLine("OK");
    else
        form_.LogInfo("Keine COM-Schnittstelle gefunden.");
    form_.searchButton.SetEnabled(true);
    form_.saveStatusButton.SetEnabled(true);
}

void Supervisor::TickConnected() {
    // Operations leave their controls off until this tick finds them so.
    if (conn_.controlsHeld) {
        form_.EnableOperationControls(true);
        form_.searchButton.SetEnabled(true);
        form_.saveStatusButton.SetEnabled(true);
        form_.disconnectButton.SetEnabled(true);
    }
    if (!EvaluatePassword()) return;
    PollStatus();
}

void Supervisor::PollStatus() {
    const bool answered = link_.ExchangeCommand("r", 18);
    // The exchange waited with events turning: a disconnect or the close may
    // have ended the connection meanwhile, and then this answer is stale.
    if (conn_.state != ConnState::Connected) return;
    if (!answered) {
        HandleNoAnswer();
        return;
    }
    const std::string answer = link_.LastAnswer();
    if (form_.extrasGroup.enabled) {
        form_.lastPollLabel.SetCaption(FromWire(answer));
        conn_.lastPollAnswer = answer;
    }
    conn_.noAnswerCount = 0;
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
    if (code == conn_.lastErrorCode) {
        conn_.state = ConnState::Idle;
        link_.SendCommand(kReleaseText, kReleaseWait);
        form_.disconnectButton.SetEnabled(false);
        StopOperationControls();
        form_.LogInfo("QVD-Modul: Fehlerwiederholung=" + FromWire(conn_.lastErrorCode) + "/" + codeText);
        ShowHoldingTimer(
                "QVD-Modul: Fehlerwiederholung\r\rFehler wird nicht zurückgesetzt. QVD-Modul ab- "
                "und wieder anschließen.",
                MessageIcon::Error);
        return;
    }

    form_.SetLogColors(colors::Red, colors::Yellow);
    form_.LogInfo("FEHLER: " + StatusCodeText(code));
    if (code < "20") {
        conn_.state = ConnState::Idle;
        form_.disconnectButton.SetEnabled(false);
        form_.LogInfo("Fataler QVD-Modul-Fehler = " + codeText);
        if (code == "18") {  // no game module plugged in: nothing to reset
            StopOperationControls();
            ShowHoldingTimer(
                    "Fataler QVD-Modul-Fehler\r\rBW- oder NSM-Modul aufstecken und dann QVD-Modul "
                    "einschalten.",
                    MessageIcon::Error);
            return;
        }
        form_.LogInfo("QVD-Modul-RESET wurde ausgeführt");
        ShowHoldingTimer(
                "Fataler QVD-Modul-Fehler\r\rQVD-Modul-RESET wurde ausgeführt.\r\rBitte \"Neue "
                "Verbindung\" betätigen.",
                MessageIcon::Error);
        link_.ExchangeCommand("z0001", 6);
        DropConnection();
        return;
    }

    // 20 up to below 40: the adapter can be told to let go of it.
    conn_.lastErrorCode = code;
    if (link_.ExchangeCommand("w0001", 6)) {
        form_.LogInfo("QVD-Modul-Fehler (" + codeText + ") wurde zurückgesetzt.");
        PauseAfterReset();
    } else {
        form_.LogInfo("! QVD-Modul: Fehler konnte nicht zurückgesetzt werden !");
        ShowHoldingTimer( "QVD-Modul-Fehler\r\rFehler konnte nicht zurückgesetzt werden",
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
    link_.DelayWithEvents(kErrorResetPause);
    resetPauseRunning_ = false;
    form_.LogLine("OK");
}

void Supervisor::HandleNoAnswer() {
    if (conn_.noAnswerCount <= 2) {
        ++conn_.noAnswerCount;
        return;
    }
    if (conn_.noAnswerCount <= 4) {
        form_.EnableControls(false);
        form_.SetLogColors(colors::Maroon, colors::Yellow);
        form_.LogInfo("Keine Kommunikation mit dem QVD-Modul (" +
                      std::to_string(conn_.noAnswerCount - 2) +
                      "). Erneuter Verbindungsaufbau folgt...");
        form_.EnableControls(true);
        ++conn_.noAnswerCount;
        return;
    }
    conn_.state = ConnState::Idle;
    form_.LogInfo("Kein erneuter Kommunikationsaufbau mit dem QVD-Modul möglich.");
    ShowHoldingTimer(
            "Keine Verbindung zum QVD-Modul\r\rVerbindungsleitung zwischen QVD-Modul und PC "
            "prüfen.\r\rAnschließend \"Neue Verbindung\" betätigen.",
            MessageIcon::Error);
    DropConnection();
}

void Supervisor::ShowHoldingTimer(const std::string& text, MessageIcon icon) {
    // A box waits for the user inside a tick; a tick meanwhile would poll and
    // open the next box on top of this one.
    const bool wasRunning = form_.pollTimer.Enabled();
    form_.pollTimer.SetEnabled(false);
    ShowBox(host_, text, icon);
    if (wasRunning) form_.pollTimer.SetEnabled(true);
}

void Supervisor::DropConnection() {
    form_.ShowConnectionDropped();
    link_.comm().Close();
}

void Supervisor::StopOperationControls() {
    // The connection is gone but the port stays open: without this, an
    // operation started now would never get its lock released, as only a
    // tick in the connected state releases it.
    form_.EnableOperationControls(false);
    form_.searchButton.SetEnabled(true);
    form_.saveStatusButton.SetEnabled(true);
    form_.window.SetEnabled(true);
}

void Supervisor::Disconnect() {
    conn_.state = ConnState::Idle;
    link_.SendCommand(kReleaseText, kReleaseWait);
    form_.disconnectButton.SetEnabled(false);
    form_.EnableOperationControls(false);
    form_.memoryGroup.SetVisible(false);
    form_.moduleControlsPanel.SetVisible(false);
    form_.searchButton.SetCaption("QVD-BW suchen");
    form_.SetHeight(kStartHeight);
    form_.LogInfo("Verbindung zum QVD-Modul wurde getrennt");
    form_.window.SetEnabled(true);
}

void Supervisor::ToggleService() {
    if (conn_.serviceOn) {
        form_.LogInfo("Servicefunktionen abgeschaltet");
        form_.SetWidth(kNormalWidth);
        conn_.serviceOn = false;
        form_.serviceItem.SetChecked(false);
        return;
    }
    password_.window.SetCaption("Servicebereich");
    password_.window.SetVisible(true);
}

bool Supervisor::EvaluatePassword() {
    // The dialog hands its entry over into Edit2; it is judged only here, so
    // an entry made while not connected waits for the connection.
    if (password_.handOverEdit.caption.empty()) return true;
    if (!ServicePasswordMatches(password_.handOverEdit.caption)) {
        ++conn_.wrongPasswordCount;
        form_.LogInfo("Servicefunktionen verfügbar.");  // says nothing to a guesser
    } else if (conn_.serviceAdapter) {
        form_.SetWidth(kServiceWidth);
        conn_.serviceOn = conn_.serviceEverGranted = true;
        form_.serviceItem.SetChecked(true);
    } else {
        form_.LogInfo("Servicefunktionen 2 verfügbar.");
    }
    password_.handOverEdit.SetCaption("");
    const bool lockedOut = conn_.wrongPasswordCount > 2 || conn_.serviceEverGranted;
    if (lockedOut && !conn_.serviceOn) {
        LockOut();
        return false;
    }
    return true;
}

void Supervisor::LockOut() {
    conn_.state = ConnState::Idle;
    form_.LogError("Wiederholte falsche Passworteingabe. Bitte warten...");
    form_.EnableOperationControls(false);
    ShowHoldingTimer(
            "Wiederholte falsche Passworteingabe. Keine Berechtigung zu dieser Servicefunktion.",
            MessageIcon::Warning);
    link_.DelayWithEvents(kLockOutPause);
    closeAfterLockOut_ = true;
    host_.CloseMainWindow();
}

bool Supervisor::MayClose() {
    const bool busy = conn_.operationRunning && !closeAfterLockOut_;
    if (IsTransferState(conn_.state) || busy) {
        ShowHoldingTimer( "QVD-Modul Kommunikation\r\rDatentransfer...", MessageIcon::Error);
        return false;
    }
    // A second request during this one's waits: the first one closes.
    if (closing_) return false;
    closing_ = true;
    const ModuleProfile* profile = FindProfile(conn_.moduleType);
    if (profile && profile->switchAdpOffAtClose) link_.ExchangeCommand("a0000", 6);
    link_.DelayWithEvents(10);
    conn_.state = ConnState::Idle;
    form_.pollTimer.SetEnabled(false);
    link_.SendCommand(kReleaseText, 1);
    link_.comm().Close();
    link_.DelayWithEvents(1000);
    return true;
}

void Supervisor::FadeOut() {
    for (int alpha = kFadeFrom; alpha >= kFadeTo; --alpha) {
        form_.alpha = alpha;
        form_.Changed();
    }
}

}  // namespace qvd
