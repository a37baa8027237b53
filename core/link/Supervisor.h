#pragma once
// The connection supervisor: start-up, the COM enumeration, the poll on
// every tick, reactions to adapter errors and to loss of contact, the end of
// bulk reads, the service password gate, the disconnect and the shutdown.
#include "core/form/MainForm.h"
#include "core/form/MessageBox.h"
#include "core/form/OtherForms.h"
#include "core/host/Host.h"
#include "core/link/CommandExchange.h"
#include "core/link/Connection.h"

#include <functional>
#include <string>

namespace qvd {

class Supervisor {
public:
    Supervisor(Host& host, MainForm& form, PasswordForm& password, CommandExchange& link,
               Connection& conn);

    // Start-up after the windows exist: caption, size, notice box, banner,
    // initial values, timer on, buttons off.
    void Start();
    // Timer1's tick: the state machine over the connection state.
    void OnPollTick();
    // "Verbindung trennen".
    void Disconnect();
    // Menu "Service".
    void ToggleService();
    // The close request: false keeps the window open.
    bool MayClose();
    // The fading close; the window closes after it.
    void FadeOut();

    // Drops the connection after a fatal adapter error or loss of contact.
    void DropConnection();

    // Called on ticks in the transfer states (filled by the bulk reads).
    std::function<void()> onTransferTick;

private:
    void EnumeratePorts();
    void TickConnected();
    void PollStatus();
    void HandleAdapterError(const std::string& code);
    // The pause after an error reset, with events (and polls) running.
    void PauseAfterReset();
    void HandleNoAnswer();
    // False when the entry has locked the program out.
    bool EvaluatePassword();
    void LockOut();
    void StopOperationControls();
    void ShowHoldingTimer(const std::string& text, MessageIcon icon);

    Host& host_;
    MainForm& form_;
    PasswordForm& password_;
    CommandExchange& link_;
    Connection& conn_;
    // The lock-out asks for the close itself while its own lock is still on.
    bool closeAfterLockOut_ = false;
    // A close request is being carried out (its waits let further ones in).
    bool closing_ = false;
    // The pause after an error reset is running (further up the stack).
    bool resetPauseRunning_ = false;
};

// Whether a framed password entry matches the service password (salted hash).
bool ServicePasswordMatches(const std::string& framedEntry);

}  // namespace qvd
