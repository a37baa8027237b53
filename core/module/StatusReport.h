#pragma once
// "Status + QVD-Info's speichern": the info window, the last status answer
// and the whole log in one text file, to be passed on for diagnosis.
#include "core/form/MainForm.h"
#include "core/link/OperationRunner.h"
#include "core/host/Host.h"

#include <string>
#include <vector>

namespace qvd {

// The file's bytes: Windows-1252, CR LF after every line, the last one too.
// The texts are the window's (UTF-8).
std::string StatusReportBytes(const std::vector<std::string>& infoLines, const std::string& lastStatus,
                              const std::vector<std::string>& logLines);

class StatusReport {
public:
    StatusReport(Host& host, MainForm& form);
    void SaveStatusReport(BusyLock& lock);

private:
    Host& host_;
    MainForm& form_;
};

}  // namespace qvd
