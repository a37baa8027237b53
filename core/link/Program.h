#pragma once
// The whole program without its window toolkit: the windows as data, the
// serial port, the connection data and every handler, wired together.
#include "core/clock/ClockOperations.h"
#include "core/form/MainForm.h"
#include "core/form/OtherForms.h"
#include "core/host/EventPump.h"
#include "core/host/Host.h"
#include "core/link/CommandExchange.h"
#include "core/link/Connection.h"
#include "core/link/Supervisor.h"
#include "core/module/AdapterSearch.h"
#include "core/serial/TVaComm.h"

namespace qvd {

class Program {
public:
    Program(Host& host, TransportFactory transports, DeviceResolver devices);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Start-up once the windows exist (notice box, banner, timer).
    void Start() { supervisor.Start(); }
    // The user (or the program itself) asks to close the main window. True
    // when it may close; the fade has run then.
    bool RequestClose();
    bool closed = false;

    // Menu "Hilfe".
    void Hinweis1Click();
    void Version1Click();
    void NSM1Click();
    void CheckBox3Click();

    Host& host;
    EventPump pump;
    // Created in the order of the start-up: main window, about, password,
    // jumper help.
    MainForm form;
    AboutForm about;
    PasswordForm password;
    JumperHelpForm jumperHelp;
    TVaComm VaComm1;
    Connection conn;
    CommandExchange link;
    Supervisor supervisor;
    ClockOperations clock;
    AdapterSearch search;

private:
    void Wire();
};

}  // namespace qvd
