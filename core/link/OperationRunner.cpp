#include "core/link/OperationRunner.h"

namespace qvd {

namespace {

class StepsOperation : public Operation {
public:
    explicit StepsOperation(OperationSteps steps) : steps_(std::move(steps)) {}
    void Start(BusyLock& lock) override { steps_(lock); }

private:
    OperationSteps steps_;
};

}  // namespace

void BusyLock::TakeControls() {
    runner_.form_.EnableControls(false);
    runner_.controlsHeld_ = true;
    timerHeld_ = true;
}

void BusyLock::HoldTimer() {
    runner_.form_.pollTimer.SetEnabled(false);
    timerHeld_ = true;
}

void BusyLock::GiveControlsBack() {
    runner_.form_.EnableControls(true);
    runner_.controlsHeld_ = false;
    timerHeld_ = false;
}

void BusyLock::Release() {
    if (!timerHeld_) return;
    timerHeld_ = false;
    runner_.form_.pollTimer.SetEnabled(true);
}

void BusyLock::Report(Outcome outcome) { runner_.Report(outcome); }

OperationRunner::OperationRunner(Host& host, MainForm& form, CommandExchange& exchange)
    : host_(host), form_(form), exchange_(exchange) {}

void OperationRunner::EnumerationStarted() { conn_.state_ = ConnState::Enumerate; }

void OperationRunner::EnumerationEnded() { conn_.state_ = ConnState::Idle; }

void OperationRunner::SearchStarted() {
    conn_.state_ = ConnState::Idle;
    conn_.serviceAdapter_ = false;
    conn_.adapterVersion_.clear();
}

void OperationRunner::AdapterIdentified(const std::string& version, bool serviceMarking) {
    conn_.adapterVersion_ = version;
    if (serviceMarking) conn_.serviceAdapter_ = true;
}

void OperationRunner::ModuleTypeRead(uint8_t type) { conn_.moduleType_ = type; }

void OperationRunner::Connected() { conn_.state_ = ConnState::Connected; }

void OperationRunner::Dropped() {
    conn_.state_ = ConnState::Idle;
    conn_.transfer_.reset();
}

void OperationRunner::BeginTransfer(TransferKind kind) {
    conn_.transfer_ = kind;
    switch (kind) {
        case TransferKind::RamSave:
        case TransferKind::EpromSave:
        case TransferKind::RamComparison:
            conn_.state_ = ConnState::FileRead;
            break;
        case TransferKind::RamView:
            conn_.state_ = ConnState::RamViewRead;
            break;
        case TransferKind::EpromView:
            conn_.state_ = ConnState::EpromViewRead;
            break;
    }
}

void OperationRunner::EndTransfer() {
    conn_.transfer_.reset();
    conn_.state_ = ConnState::Connected;
}

void OperationRunner::Bind(Control& control, OperationFactory make) {
    control.OnClick = [this, &control, make = std::move(make)] { Click(control, make); };
}

void OperationRunner::Bind(Control& control, OperationSteps steps) {
    Bind(control, [steps = std::move(steps)]() -> std::unique_ptr<Operation> {
        return std::make_unique<StepsOperation>(steps);
    });
}

void OperationRunner::Click(Control& control, const OperationFactory& make) {
    // An operation that started while an exchange waits would run its own
    // exchange inside that one and take its answer. The click waits for the
    // exchange to end instead (a poll holds the line for 90 ms every second);
    // one during another operation is dropped.
    if (exchange_.Busy() || Busy()) {
        if (!Busy() && !deferredClick_)
            deferredClick_ = &control;
        else
            DropClick(control);
        return;
    }
    Run(make());
}

void OperationRunner::Run(std::unique_ptr<Operation> operation) {
    running_ = std::move(operation);
    result_ = {};
    try {
        BusyLock lock(*this);
        starting_ = true;
        running_->Start(lock);
        starting_ = false;
        if (running_->Running()) ReleaseInput();
    } catch (...) {
        starting_ = false;
        running_.reset();
        throw;
    }
    if (!running_->Running()) running_.reset();
}

void OperationRunner::ReleaseInput() {
    if (conn_.InTransfer() && exchange_.InputWaiting()) running_->OnBytesReceived();
}

void OperationRunner::OnBytesReceived() {
    if (starting_ || !running_ || !conn_.InTransfer()) return;
    running_->OnBytesReceived();
}

void OperationRunner::OnTick() {
    if (running_ && !starting_) {
        try {
            BusyLock lock(*this);
            running_->OnTick(lock);
        } catch (...) {
            running_.reset();
            throw;
        }
        if (!running_->Running()) running_.reset();
        return;
    }
    if (conn_.state_ == ConnState::Connected && controlsHeld_) GiveHeldControlsBack();
    if (onSupervisorTick) onSupervisorTick();
}

bool OperationRunner::StopRunning() {
    if (!running_ || starting_ || !running_->StopNow()) return false;
    result_.Report(Outcome::Stopped);
    running_.reset();
    return true;
}

void OperationRunner::GiveHeldControlsBack() {
    form_.EnableOperationControls(true);
    form_.searchButton.SetEnabled(true);
    form_.saveStatusButton.SetEnabled(true);
    form_.disconnectButton.SetEnabled(true);
    controlsHeld_ = false;
}

void OperationRunner::DropClick(Control& control) {
    // A check box has already changed: put it back, so that what it shows is
    // what the adapter was told.
    if (control.kind == ControlKind::CheckBox) control.SetChecked(!control.checked);
}

void OperationRunner::OnExchangeEnded() {
    if (deferredClick_) host_.Post([this] { RunDeferredClick(); });
}

void OperationRunner::RunDeferredClick() {
    Control* control = deferredClick_;
    if (!control || exchange_.Busy()) return;  // still waiting: the next exchange end comes back
    deferredClick_ = nullptr;
    // What happened meanwhile may have taken the control away.
    if (!control->enabled || !form_.window.enabled || Busy()) {
        DropClick(*control);
        return;
    }
    control->OnClick();
}

}  // namespace qvd
