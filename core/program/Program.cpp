#include "core/program/Program.h"

#include "core/form/MessageBox.h"
#include "core/form/Colors.h"

namespace qvd {

Program::Program(Host& h, TransportFactory transports, DeviceResolver devices)
    : host(h),
      pump(h),
      form(pump),
      serialPort(h, std::move(transports), std::move(devices)),
      link(pump, serialPort, conn),
      supervisor(h, form, password, link, conn),
      clock(h, form, link, conn),
      search(h, form, password, link, conn, supervisor),
      bulk(h, form, link, conn, transfer),
      ramWrite(h, form, link, conn),
      views(h, form, link, conn, transfer, bulk),
      cells(form, link, conn),
      epromFiles(h, form, link),
      service(form, link, conn),
      statusReport(h, form) {
    form.about = &about;
    form.password = &password;
    form.jumperHelp = &jumperHelp;
    serialPort.SetTrace(WireTrace::FromEnvironment([&h] { return h.TickCount(); }));
    Wire();
}

void Program::Wire() {
    link.onActivity = [this](bool exchanging) {
        form.activityIndicator.SetColor(exchanging ? colors::Aqua : colors::Navy);
        if (!exchanging && deferredClick_) host.Post([this] { RunDeferredClick(); });
    };
    link.onError = [this](const std::string& text) { form.LogError(text); };
    form.onOperationControls = [this](bool on) { conn.controlsHeld = !on; };
    form.pollTimer.OnTimer = [this] { supervisor.OnPollTick(); };
    search.readClockIntoFields = [this] { clock.ReadClockIntoFields(); };
    supervisor.onTransferTick = [this] { bulk.OnTransferTick(); };
    serialPort.OnRxChar = [this](int) { bulk.OnBytesReceived(); };
    serialPort.OnFailure = [this](const EVaCommError& error) { link.ReportPortFailure(error); };

    form.searchButton.OnClick = [this] { search.SearchAdapter(); };
    form.disconnectButton.OnClick = [this] { supervisor.Disconnect(); };
    form.serviceItem.OnClick = [this] { supervisor.ToggleService(); };
    form.noticeItem.OnClick = [this] { ShowNotice(); };
    form.aboutItem.OnClick = [this] { ShowAbout(); };
    form.jumperHelpItem.OnClick = [this] { ShowJumperHelp(); };
    form.extraFunctionsCheck.OnClick = [this] { ApplyExtraFunctionsChoice(); };
    clock.Attach();
    form.ramSaveButton.OnClick = [this] { bulk.SaveMemoryToFile(MemoryKind::Ram); };
    form.epromSaveButton.OnClick = [this] { bulk.SaveMemoryToFile(MemoryKind::Eprom); };
    form.ramViewAllButton.OnClick = [this] { bulk.ShowWholeMemory(MemoryKind::Ram); };
    form.epromViewAllButton.OnClick = [this] { bulk.ShowWholeMemory(MemoryKind::Eprom); };
    form.ramRestoreButton.OnClick = [this] { ramWrite.RestoreRamFromFile(); };
    form.ramClearButton.OnClick = [this] { ramWrite.ClearRam(); };
    form.compareRamItem.OnClick = [this] { bulk.CompareRamWithFile(); };
    form.ramRangeButton.OnClick = [this] { views.ShowRange(MemoryKind::Ram); };
    form.epromRangeButton.OnClick = [this] { views.ShowRange(MemoryKind::Eprom); };
    form.ramViewClearButton.OnClick = [this] { views.ClearView(MemoryKind::Ram); };
    form.epromViewClearButton.OnClick = [this] { views.ClearView(MemoryKind::Eprom); };
    form.ramViewSaveButton.OnClick = [this] { views.SaveView(MemoryKind::Ram); };
    form.epromViewSaveButton.OnClick = [this] { views.SaveView(MemoryKind::Eprom); };
    cells.Attach();
    form.cellReadButton.OnClick = [this] { cells.ReadCell(); };
    form.cellWriteButton.OnClick = [this] { cells.WriteCell(); };
    form.splitEpromItem.OnClick = [this] { epromFiles.SplitImage(); };
    form.joinEpromItem.OnClick = [this] { epromFiles.JoinHalves(); };
    form.adpSwitchCheck.OnClick = [this] { service.SwitchAdpModule(); };
    service.readAdpClock = [this] { clock.ReadClockIntoFields(ClockLayout::Adp); };
    form.clearErrorsButton.OnClick = [this] { service.ClearAdapterErrors(); };
    form.resetAdapterButton.OnClick = [this] { service.ResetAdapter(); };
    form.saveStatusButton.OnClick = [this] { statusReport.SaveStatusReport(); };

    for (Control* c : {&form.searchButton, &form.disconnectButton, &form.clockReadButton,
                       &form.clockSetButton, &form.pcTimeButton, &form.rtcSetButton,
                       &form.timekeeperSetButton, &form.ramSaveButton, &form.epromSaveButton,
                       &form.ramViewAllButton, &form.epromViewAllButton, &form.ramRestoreButton,
                       &form.ramClearButton, &form.compareRamItem, &form.ramRangeButton,
                       &form.epromRangeButton, &form.cellReadButton, &form.cellWriteButton,
                       &form.splitEpromItem, &form.joinEpromItem, &form.adpSwitchCheck,
                       &form.clearErrorsButton, &form.resetAdapterButton, &form.saveStatusButton})
        GuardOperation(*c);
}

void Program::GuardOperation(Control& control) {
    control.OnClick = [this, &control, handler = std::move(control.OnClick)] {
        if (!handler) return;
        // An operation that started while an exchange waits would run its own
        // exchange inside that one and take its answer. The click waits for
        // the exchange to end instead (a poll holds the line for 90 ms every
        // second); one during another operation is dropped.
        if (link.Busy() || conn.operationRunning) {
            if (!conn.operationRunning && !deferredClick_)
                deferredClick_ = &control;
            else
                DropClick(control);
            return;
        }
        conn.operationRunning = true;
        struct ClearOnExit {
            bool& flag;
            ~ClearOnExit() { flag = false; }
        } clearOnExit{conn.operationRunning};
        try {
            handler();
        } catch (const EVaCommError&) {
            // The event loop shows the port's error; the lock the operation
            // took must still come off with the next tick.
            form.pollTimer.SetEnabled(true);
            throw;
        }
    };
}

void Program::DropClick(Control& control) {
    // A check box has already changed: put it back, so that what it shows is
    // what the adapter was told.
    if (control.kind == ControlKind::CheckBox) control.SetChecked(!control.checked);
}

void Program::RunDeferredClick() {
    Control* control = deferredClick_;
    if (!control || link.Busy()) return;  // still waiting: the next exchange end comes back
    deferredClick_ = nullptr;
    // What happened meanwhile may have taken the control away.
    if (!control->enabled || !form.window.enabled || conn.operationRunning) {
        DropClick(*control);
        return;
    }
    control->OnClick();
}

bool Program::RequestClose() {
    if (closed) return true;
    if (!supervisor.MayClose()) return false;
    supervisor.FadeOut();
    closed = true;
    return true;
}

void Program::ShowNotice() {
    form.pollTimer.SetEnabled(false);
    host.ShowMessage(kProgramTitle, kNoticeText, MessageIcon::None, true);
    form.pollTimer.SetEnabled(true);
}

void Program::ShowAbout() { about.window.SetVisible(true); }

void Program::ShowJumperHelp() { jumperHelp.window.SetVisible(true); }

void Program::ApplyExtraFunctionsChoice() { form.ApplyExtraFunctions(conn.moduleType); }

}  // namespace qvd
