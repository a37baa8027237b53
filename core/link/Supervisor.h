#pragma once
// The connection watch: start-up, the COM enumeration, the poll on every
// tick in the connected state, reactions to adapter errors and to loss of
// contact, and the disconnect.
#include "core/form/MainForm.h"
#include "core/form/MessageBox.h"
#include "core/host/Host.h"
#include "core/link/CommandExchange.h"
#include "core/link/OperationRunner.h"
#include "core/link/ServiceGate.h"

#include <functional>
#include <string>
#include <vector>

namespace qvd {

// What a port's device is, beyond its COM number; empty when there is
// nothing to tell.
using PortDescriber = std::function<std::string(const std::string& device)>;

class Supervisor {
public:
    Supervisor(Host& host, MainForm& form, CommandExchange& exchange, OperationRunner& runner,
               ServiceGate& serviceGate);

    // Start-up after the windows exist: caption, size, notice box, banner,
    // initial values, timer on, buttons off.
    void Start();
    // The poll timer's tick outside a transfer: the state machine over the
    // connection state.
    void OnPollTick();
    // "Verbindung trennen".
    void Disconnect();
    // A search has connected: the watch starts counting afresh.
    void WatchNewConnection() { noAnswerCount_ = 0; }
    // A search starts: an error code of the last adapter means nothing now.
    void ForgetLastError() { lastErrorCode_.clear(); }

    // The enumeration at once, without the start-up's notice and wait (a
    // caller without a window).
    void EnumerateNow();
    // What the last enumeration said about ports that exist but could not
    // be had (no permission, held by another program), as logged.
    const std::vector<std::string>& portProblems() const { return portProblems_; }

    // Drops the connection after a fatal adapter error or loss of contact.
    void DropConnection();

    // Polls in a row that got no answer.
    uint8_t noAnswerCount() const { return noAnswerCount_; }
    // The error code last reset (two characters); empty after a search.
    const std::string& lastErrorCode() const { return lastErrorCode_; }

    // Names the device of each present port in the enumeration, if set.
    PortDescriber describePort;

private:
    void EnumeratePorts();
    void PollStatus();
    void HandleAdapterError(const std::string& code);
    // The pause after an error reset, with events (and polls) running.
    void PauseAfterReset();
    void HandleNoAnswer();
    // The connection is gone but the port stays open: only the search and
    // the status file are offered. Without this, an operation started now
    // would never get its lock released, as only a tick in the connected
    // state releases it.
    void StopOperationsOfferSearch();

    Host& host_;
    MainForm& form_;
    CommandExchange& exchange_;
    OperationRunner& runner_;
    ServiceGate& serviceGate_;
    uint8_t noAnswerCount_ = 0;
    std::string lastErrorCode_;
    std::vector<std::string> portProblems_;
    // The pause after an error reset is running (further up the stack).
    bool resetPauseRunning_ = false;
};

}  // namespace qvd
