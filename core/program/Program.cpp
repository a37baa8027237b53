#include "core/program/Program.h"

#include "core/form/Colors.h"
#include "core/form/MessageBox.h"
#include "core/memory/MemorySaveOperation.h"
#include "core/memory/MemoryViewOperation.h"
#include "core/memory/RamCompareOperation.h"
#include "core/memory/RamWriteOperations.h"
#include "core/memory/ViewFileOperation.h"

namespace qvd {

Program::Program(Host& h, TransportFactory transports, DeviceResolver devices, PortDescriber describePorts)
    : host(h),
      pump(h),
      form(pump),
      serialPort(h, std::move(transports), std::move(devices)),
      runner(h, form, exchange),
      exchange(pump, serialPort, runner.connection()),
      serviceGate(h, form, password, exchange, runner),
      shutdown(h, form, exchange, runner),
      supervisor(h, form, exchange, runner, serviceGate),
      clock(h, form, exchange, runner.connection()),
      search(h, form, password, exchange, runner, supervisor),
      cells(form, exchange, runner.connection()),
      epromSplit(h, form, exchange),
      service(form, exchange, runner),
      statusReport(h, form) {
    form.about = &about;
    form.password = &password;
    form.jumperHelp = &jumperHelp;
    supervisor.describePort = std::move(describePorts);
    serialPort.SetTrace(WireTrace::FromEnvironment([&h] { return h.TickCount(); }));
    Wire();
    BindOperations();
}

void Program::Wire() {
    exchange.onActivity = [this](bool exchanging) {
        form.activityIndicator.SetColor(exchanging ? colors::Aqua : colors::Navy);
        if (!exchanging) runner.OnExchangeEnded();
    };
    exchange.onError = [this](const std::string& text) { form.LogError(text); };
    form.pollTimer.OnTimer = [this] { runner.OnTick(); };
    runner.onSupervisorTick = [this] { supervisor.OnPollTick(); };
    serialPort.OnRxChar = [this](int) { runner.OnBytesReceived(); };
    serialPort.OnFailure = [this](const EVaCommError& error) { exchange.ReportPortFailure(error); };
    serviceGate.onLockedOut = [this] { shutdown.CloseAfterLockOut(); };
    search.readClockIntoFields = [this] { clock.ReadClockIntoFields(); };
    service.readAdpClock = [this] { clock.ReadClockIntoFields(ClockLayout::Adp); };
    clock.Attach();
    cells.Attach();

    // Not operations: they send nothing and may be used at any time.
    form.serviceItem.OnClick = [this] { serviceGate.ToggleService(); };
    form.aboutItem.OnClick = [this] { about.window.SetVisible(true); };
    form.jumperHelpItem.OnClick = [this] { jumperHelp.window.SetVisible(true); };
    form.extraFunctionsCheck.OnClick = [this] { form.ApplyExtraFunctions(conn().moduleType()); };
    form.ramViewClearButton.OnClick = [this] { form.ramView.Clear(); };
    form.epromViewClearButton.OnClick = [this] { form.epromView.Clear(); };
}

void Program::BindOperations() {
    OperationContext& ctx = context;
    auto transfer = [&ctx]<typename Op, typename... Args>(std::type_identity<Op>, Args... args) -> OperationFactory {
        return [&ctx, args...] { return std::make_unique<Op>(ctx, args...); };
    };
    using Extent = MemoryViewOperation::Extent;
    const auto save = std::type_identity<MemorySaveOperation>{};
    const auto view = std::type_identity<MemoryViewOperation>{};
    runner.Bind(form.ramSaveButton, transfer(save, MemoryKind::Ram));
    runner.Bind(form.epromSaveButton, transfer(save, MemoryKind::Eprom));
    runner.Bind(form.ramViewAllButton, transfer(view, MemoryKind::Ram, Extent::Whole));
    runner.Bind(form.epromViewAllButton, transfer(view, MemoryKind::Eprom, Extent::Whole));
    runner.Bind(form.ramRangeButton, transfer(view, MemoryKind::Ram, Extent::Range));
    runner.Bind(form.epromRangeButton, transfer(view, MemoryKind::Eprom, Extent::Range));
    runner.Bind(form.compareRamItem, transfer(std::type_identity<RamCompareOperation>{}));

    runner.Bind(form.searchButton, [this](BusyLock& lock) { search.SearchAdapter(lock); });
    runner.Bind(form.disconnectButton, [this](BusyLock&) { supervisor.Disconnect(); });
    runner.Bind(form.clockReadButton, [this](BusyLock& lock) { clock.ReadClock(lock); });
    runner.Bind(form.clockSetButton, [this](BusyLock& lock) { clock.SetClockFromFields(lock); });
    runner.Bind(form.pcTimeButton, [this](BusyLock& lock) { clock.SetClockFromPc(lock); });
    runner.Bind(form.rtcSetButton, [this](BusyLock& lock) { clock.WriteRtcBits(lock); });
    runner.Bind(form.timekeeperSetButton, [this](BusyLock& lock) { clock.WriteTimekeeperBits(lock); });
    runner.Bind(form.ramRestoreButton, [this](BusyLock& lock) { RestoreRamFromFile(context, lock); });
    runner.Bind(form.ramClearButton, [this](BusyLock& lock) { ClearRam(context, lock); });
    runner.Bind(form.ramViewSaveButton, [this](BusyLock& lock) { SaveViewToFile(context, lock, MemoryKind::Ram); });
    runner.Bind(form.epromViewSaveButton,
                [this](BusyLock& lock) { SaveViewToFile(context, lock, MemoryKind::Eprom); });
    runner.Bind(form.cellReadButton, [this](BusyLock& lock) { cells.ReadCell(lock); });
    runner.Bind(form.cellWriteButton, [this](BusyLock& lock) { cells.WriteCell(lock); });
    runner.Bind(form.splitEpromItem, [this](BusyLock& lock) { epromSplit.SplitImage(lock); });
    runner.Bind(form.joinEpromItem, [this](BusyLock& lock) { epromSplit.JoinHalves(lock); });
    runner.Bind(form.adpSwitchCheck, [this](BusyLock& lock) { service.SwitchAdpModule(lock); });
    runner.Bind(form.clearErrorsButton, [this](BusyLock& lock) { service.ClearAdapterErrors(lock); });
    runner.Bind(form.resetAdapterButton, [this](BusyLock&) { service.ResetAdapter(); });
    runner.Bind(form.saveStatusButton, [this](BusyLock& lock) { statusReport.SaveStatusReport(lock); });
    runner.Bind(form.noticeItem, [this](BusyLock& lock) { ShowNotice(lock); });
}

bool Program::RequestClose() {
    if (closed) return true;
    if (!shutdown.MayClose()) return false;
    shutdown.FadeOut();
    closed = true;
    return true;
}

void Program::ShowNotice(BusyLock& lock) {
    lock.HoldTimer();
    host.ShowMessage(kProgramTitle, kNoticeText, MessageIcon::None, true);
}

}  // namespace qvd
