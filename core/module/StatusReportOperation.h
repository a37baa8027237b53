#pragma once
// "Status + QVD-Info's speichern": the report file written where the user
// chooses.
#include "core/form/MainForm.h"
#include "core/host/Host.h"
#include "core/link/OperationRunner.h"

namespace qvd {

class StatusReportOperation {
public:
    StatusReportOperation(Host& host, MainForm& form);
    void SaveStatusReport(BusyLock& lock);

private:
    Host& host_;
    MainForm& form_;
};

}  // namespace qvd
