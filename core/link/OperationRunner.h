#pragma once
// Starts what the user asks for, one operation at a time, holds the busy lock
// while it runs, hands it received bytes and timer ticks, and owns the
// connection state.
#include "core/form/MainForm.h"
#include "core/host/Host.h"
#include "core/link/CommandExchange.h"
#include "core/link/Connection.h"
#include "core/link/OperationResult.h"

#include <functional>
#include <memory>
#include <string>

namespace qvd {

class OperationRunner;

// The busy lock of one run. An operation takes it at the step where it goes
// busy (some refuse bad input first, with the window untouched); every way
// out of the run gives back what was taken, once.
class BusyLock {
public:
    BusyLock(const BusyLock&) = delete;
    BusyLock& operator=(const BusyLock&) = delete;
    ~BusyLock() { Release(); }

    // Poll timer and every operation control off, the other windows closed.
    // The controls come back with the next tick in the connected state.
    void TakeControls();
    // The poll timer alone off (a dialog or box that must not be polled into).
    void HoldTimer();
    // Everything back at once (a search that has connected).
    void GiveControlsBack();
    // The poll timer back now, when it was held.
    void Release();
    // How the run is going: see OperationResult::Report.
    void Report(Outcome outcome);

private:
    friend class OperationRunner;
    explicit BusyLock(OperationRunner& runner) : runner_(runner) {}
    OperationRunner& runner_;
    bool timerHeld_ = false;
};

// One thing the user started, from the click to its last message. Most end
// within Start; a bulk read goes on streaming, gets the bytes and ticks, and
// ends later.
class Operation {
public:
    virtual ~Operation() = default;
    virtual void Start(BusyLock& lock) = 0;
    // Still running after Start or after the last tick.
    virtual bool Running() const { return false; }
    // Bytes wait in the port while the connection is in a transfer state.
    virtual void OnBytesReceived() {}
    // Every timer tick while it runs.
    virtual void OnTick(BusyLock& lock) {}
    // Ends the operation at once where that is safe (a stream being
    // received); false where it must run to its end (a write, a check).
    virtual bool StopNow() { return false; }
};

using OperationFactory = std::function<std::unique_ptr<Operation>()>;
using OperationSteps = std::function<void(BusyLock& lock)>;

class OperationRunner {
public:
    OperationRunner(Host& host, MainForm& form, CommandExchange& exchange);

    const Connection& connection() const { return conn_; }

    // --- the connection's transitions ---
    void EnumerationStarted();
    void EnumerationEnded();
    // A search starts afresh: no adapter known.
    void SearchStarted();
    void AdapterIdentified(const std::string& version, bool serviceMarking);
    void ModuleTypeRead(uint8_t type);
    void Connected();
    void Dropped();
    void BeginTransfer(TransferKind kind);
    void EndTransfer();

    // The control's click starts the operation through this runner.
    void Bind(Control& control, OperationFactory make);
    void Bind(Control& control, OperationSteps steps);

    // An operation runs (a transfer and its verification included).
    bool Busy() const { return running_ != nullptr; }
    // The lock's controls are off and wait for a tick in the connected state.
    bool ControlsHeld() const { return controlsHeld_; }
    // Ends the running operation where it can stop now; true when it has.
    bool StopRunning();

    // The result of the operation running or last run.
    const OperationResult& lastResult() const { return result_; }
    void Report(Outcome outcome) { result_.Report(outcome); }
    void Figure(const std::string& name, const std::string& value) { result_.Figure(name, value); }

    // The poll timer's tick: the running transfer's, otherwise the supervisor's.
    void OnTick();
    // The port's received-bytes notification.
    void OnBytesReceived();
    // The exchange has ended its wait: a click that came meanwhile runs now.
    void OnExchangeEnded();

    std::function<void()> onSupervisorTick;

private:
    friend class BusyLock;
    void Click(Control& control, const OperationFactory& make);
    void Run(std::unique_ptr<Operation> operation);
    // Bytes that came while the operation was starting stayed in the port; a
    // fast adapter may send nothing more, so they are taken now.
    void ReleaseInput();
    void DropClick(Control& control);
    void RunDeferredClick();
    void GiveHeldControlsBack();

    Host& host_;
    MainForm& form_;
    CommandExchange& exchange_;
    Connection conn_;
    std::unique_ptr<Operation> running_;
    OperationResult result_;
    // Start is under way: received bytes stay in the port, the operation is
    // still exchanging its commands and needs their answers.
    bool starting_ = false;
    bool controlsHeld_ = false;
    // A click that came while an exchange waited; it runs when that ends.
    Control* deferredClick_ = nullptr;
};

}  // namespace qvd
