#pragma once
// "QVD-BW suchen": walks COM1..COM16 for the adapter, identifies it and the
// game module, shows the module's limits, clock and the adapter's report.
#include "core/form/MainForm.h"
#include "core/form/OtherForms.h"
#include "core/link/CommandExchange.h"
#include "core/link/OperationRunner.h"
#include "core/link/Supervisor.h"

#include <functional>
#include <string>

namespace qvd {

class AdapterSearchOperation {
public:
    AdapterSearchOperation(Host& host, MainForm& form, PasswordForm& password, CommandExchange& exchange,
                  OperationRunner& runner, Supervisor& supervisor);

    void SearchAdapter(BusyLock& lock);
    // Sends the probe byte; true when the first byte back is its echo.
    bool ProbeAdapter(char probe);

    // Reads the module's clock into the clock fields (the clock's filling
    // variant); connected by the wiring.
    std::function<void()> readClockIntoFields;

private:
    // How the search ends at a port that echoed the probe.
    enum class Outcome { Connected, Rejected, UndefinedModule };
    Outcome Identify(int port);
    void ShowModule();
    void AppendReport();
    void Reject(const std::string& answer);
    void Finish(BusyLock& lock, bool found, bool undefinedModule);

    Host& host_;
    MainForm& form_;
    PasswordForm& password_;
    CommandExchange& exchange_;
    OperationRunner& runner_;
    Supervisor& supervisor_;
};

}  // namespace qvd
