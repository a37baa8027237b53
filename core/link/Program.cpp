#include "core/link/Program.h"

#include "core/form/MessageBox.h"

namespace qvd {

Program::Program(Host& h, TransportFactory transports, DeviceResolver devices)
    : host(h),
      pump(h),
      form(pump),
      VaComm1(h, std::move(transports), std::move(devices)),
      link(pump, VaComm1, form, conn),
      supervisor(h, form, password, link, conn),
      clock(h, form, link, conn),
      search(h, form, password, link, conn, supervisor, clock) {
    form.about = &about;
    form.password = &password;
    form.jumperHelp = &jumperHelp;
    Wire();
}

void Program::Wire() {
    form.Timer1.OnTimer = [this] { supervisor.Timer1Timer(); };
    form.Button3.OnClick = [this] { search.Button3Click(); };
    form.Button5.OnClick = [this] { supervisor.Button5Click(); };
    form.Service1.OnClick = [this] { supervisor.Service1Click(); };
    form.Hinweis1.OnClick = [this] { Hinweis1Click(); };
    form.Version1.OnClick = [this] { Version1Click(); };
    form.NSM1.OnClick = [this] { NSM1Click(); };
    form.CheckBox3.OnClick = [this] { CheckBox3Click(); };
    supervisor.operationRunning = [this] { return !form.window.enabled; };
    clock.Attach();
}

bool Program::RequestClose() {
    if (closed) return true;
    if (!supervisor.FormCloseQuery()) return false;
    supervisor.FormClose();
    closed = true;
    return true;
}

void Program::Hinweis1Click() {
    form.Timer1.SetEnabled(false);
    host.ShowMessage(kProgramTitle, kNoticeText, MessageIcon::None, true);
    form.Timer1.SetEnabled(true);
}

void Program::Version1Click() { about.window.SetVisible(true); }

void Program::NSM1Click() { jumperHelp.window.SetVisible(true); }

void Program::CheckBox3Click() { form.ApplyExtraFunctions(conn.moduleType); }

}  // namespace qvd
