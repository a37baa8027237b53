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
#include "core/memory/BulkReads.h"
#include "core/memory/CellOperations.h"
#include "core/memory/EpromFiles.h"
#include "core/memory/HexViews.h"
#include "core/memory/RamWrite.h"
#include "core/memory/TransferContext.h"
#include "core/module/AdapterSearch.h"
#include "core/module/ServiceFunctions.h"
#include "core/module/StatusReport.h"
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
    void ShowNotice();
    void ShowAbout();
    void ShowJumperHelp();
    void ApplyExtraFunctionsChoice();

    Host& host;
    EventPump pump;
    // Created in the order of the start-up: main window, about, password,
    // jumper help.
    MainForm form;
    AboutForm about;
    PasswordForm password;
    JumperHelpForm jumperHelp;
    TVaComm serialPort;
    Connection conn;
    CommandExchange link;
    Supervisor supervisor;
    ClockOperations clock;
    AdapterSearch search;
    TransferContext transfer;
    BulkReads bulk;
    RamWrite ramWrite;
    HexViews views;
    CellOperations cells;
    EpromFiles epromFiles;
    ServiceFunctions service;
    StatusReport statusReport;

private:
    void Wire();
    // Lets the control's click run only when no other operation or exchange
    // is under way, and marks the operation running meanwhile.
    void GuardOperation(Control& control);
    void DropClick(Control& control);
    void RunDeferredClick();
    // A click that came while an exchange waited; it runs when that ends.
    Control* deferredClick_ = nullptr;
};

}  // namespace qvd
