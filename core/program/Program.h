#pragma once
// The whole program without its window toolkit: the windows as data, the
// serial port, the operation runner and every operation, wired together.
#include "core/clock/ClockOperations.h"
#include "core/form/MainForm.h"
#include "core/form/OtherForms.h"
#include "core/host/EventPump.h"
#include "core/host/Host.h"
#include "core/link/CommandExchange.h"
#include "core/link/OperationContext.h"
#include "core/link/OperationRunner.h"
#include "core/link/ServiceGate.h"
#include "core/link/Shutdown.h"
#include "core/link/Supervisor.h"
#include "core/memory/BulkRead.h"
#include "core/memory/CellAccessOperations.h"
#include "core/memory/EpromSplitOperations.h"
#include "core/module/AdapterSearchOperation.h"
#include "core/module/AdapterServiceOperations.h"
#include "core/module/StatusReportOperation.h"
#include "core/serial/TVaComm.h"

namespace qvd {

class Program {
public:
    Program(Host& host, TransportFactory transports, DeviceResolver devices, PortDescriber describePorts = {});
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Start-up once the windows exist (notice box, banner, timer).
    void Start() { supervisor.Start(); }
    // The user (or the program itself) asks to close the main window. True
    // when it may close; the fade has run then.
    bool RequestClose();
    bool closed = false;

    const Connection& conn() const { return runner.connection(); }

    Host& host;
    EventPump pump;
    // Created in the order of the start-up: main window, about, password,
    // jumper help.
    MainForm form;
    AboutForm about;
    PasswordForm password;
    JumperHelpForm jumperHelp;
    TVaComm serialPort;
    OperationRunner runner;
    CommandExchange exchange;
    OperationContext context{host, form, exchange, runner};
    ServiceGate serviceGate;
    Shutdown shutdown;
    Supervisor supervisor;
    ClockOperations clock;
    AdapterSearchOperation search;
    CellAccessOperations cells;
    EpromSplitOperations epromSplit;
    AdapterServiceOperations service;
    StatusReportOperation statusReport;

private:
    void Wire();
    void BindOperations();
    // Menu "Hilfe".
    void ShowNotice(BusyLock& lock);
};

}  // namespace qvd
