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
      search(h, form, password, link, conn, supervisor) {
    form.about = &about;
    form.password = &password;
    form.jumperHelp = &jumperHelp;
    Wire();
}

void Program::Wire() {
    link.onActivity = [this](bool exchanging) {
        form.activityIndicator.SetColor(exchanging ? colors::Aqua : colors::Navy);
    };
    link.onError = [this](const std::string& text) { form.LogError(text); };
    form.onOperationControls = [this](bool on) { conn.controlsHeld = !on; };
    form.pollTimer.OnTimer = [this] { supervisor.OnPollTick(); };
    search.readClockIntoFields = [this] { clock.ReadClockIntoFields(); };

    form.searchButton.OnClick = [this] { search.SearchAdapter(); };
    form.disconnectButton.OnClick = [this] { supervisor.Disconnect(); };
    form.serviceItem.OnClick = [this] { supervisor.ToggleService(); };
    form.noticeItem.OnClick = [this] { ShowNotice(); };
    form.aboutItem.OnClick = [this] { ShowAbout(); };
    form.jumperHelpItem.OnClick = [this] { ShowJumperHelp(); };
    form.extraFunctionsCheck.OnClick = [this] { ApplyExtraFunctionsChoice(); };
    clock.Attach();

    for (Control* c : {&form.searchButton, &form.disconnectButton, &form.clockReadButton,
                       &form.clockSetButton, &form.pcTimeButton, &form.rtcSetButton,
                       &form.timekeeperSetButton})
        GuardOperation(*c);
}

void Program::GuardOperation(Control& control) {
    control.OnClick = [this, handler = std::move(control.OnClick)] {
        // An operation that starts while an exchange waits would run its own
        // exchange inside that one and take its answer: ignore the click.
        if (!handler || link.Busy() || conn.operationRunning) return;
        conn.operationRunning = true;
        struct ClearOnExit {
            bool& flag;
            ~ClearOnExit() { flag = false; }
        } clearOnExit{conn.operationRunning};
        handler();
    };
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
