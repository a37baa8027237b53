#include "core/module/StatusReportOperation.h"

#include "core/files/WholeFile.h"
#include "core/form/MessageBox.h"
#include "core/module/StatusReport.h"
#include "core/wire/Text.h"

namespace qvd {

StatusReportOperation::StatusReportOperation(Host& host, MainForm& form) : host_(host), form_(form) {}

void StatusReportOperation::SaveStatusReport(BusyLock& lock) {
    lock.HoldTimer();
    FileDialogRequest request;
    request.filter = "(*.txt)|*.txt|(*.*)|*.*";
    request.defaultName = "QVD-PC_Status.txt";
    if (const std::optional<std::string> chosen = host_.SaveFileDialog(request)) {
        const std::string& path = *chosen;
        const std::string bytes =
            StatusReportBytes(form_.infoMemo.lines, form_.lastPollLabel.caption, form_.logMemo.lines);
        form_.reportBuffer.Clear();
        form_.reportBuffer.AddText(FromWire(bytes));
        if (const std::optional<std::string> error = WriteWholeFile(path, bytes)) {
            lock.Report(Outcome::FileFailed);
            ShowBox(host_, "Datei konnte nicht gespeichert werden:\r\r" + path + "\r\r" + *error, MessageIcon::Error);
        } else {
            form_.LogLine("Statusmeldungen & QVD-Infos gespeichert unter: " + path);
            lock.Report(Outcome::Succeeded);
        }
    }
}

}  // namespace qvd
