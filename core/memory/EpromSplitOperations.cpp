#include "core/memory/EpromSplitOperations.h"

#include "core/form/MessageBox.h"
#include "core/memory/EpromSplit.h"

namespace qvd {

namespace {

constexpr uint32_t kRefusalPause = 1000;

// An input that cannot be read is refused as one of the wrong size, as
// when it is missing; also if it changed after the first look.
bool Refused(const EpromFileResult& result) {
    return result.status == EpromFileStatus::WrongSize || result.status == EpromFileStatus::CannotOpenInput;
}

}  // namespace

EpromSplitOperations::EpromSplitOperations(Host& host, MainForm& form, CommandExchange& exchange)
    : host_(host), form_(form), exchange_(exchange) {}

std::optional<std::string> EpromSplitOperations::ChooseFile(const char* proposedName, bool save) {
    FileDialogRequest request;
    request.filter = "(*.hex)|*.hex|(*.*)|*.*";
    request.defaultName = proposedName;
    return save ? host_.SaveFileDialog(request) : host_.OpenFileDialog(request);
}

void EpromSplitOperations::RefuseSize() {
    form_.LogError("Dateifehler: Abweichende Byteanzahl");
    form_.LogInfo("Bitte warten...");
    exchange_.DelayWithEvents(kRefusalPause);
}

void EpromSplitOperations::ReportFileError(const std::string& path) {
    form_.LogInfo("Dateifehler (open): " + path);
    ShowBox(host_, "Dateifehler (open)\r\rVorgang wiederholen.", MessageIcon::Warning);
}

void EpromSplitOperations::Finish(BusyLock& lock, const EpromFileResult& result, const std::string& output) {
    if (result.ok()) {
        form_.LogInfo("OK");
        lock.Report(Outcome::Succeeded);
    } else if (Refused(result)) {
        lock.Report(Outcome::BadInput);
        RefuseSize();
    } else {
        lock.Report(Outcome::FileFailed);
        ReportFileError(result.path.empty() ? output : result.path);
    }
}

void EpromSplitOperations::SplitImage(BusyLock& lock) {
    lock.TakeControls();
    form_.window.SetEnabled(true);  // for the dialog
    if (const std::optional<std::string> chosen = ChooseFile("name.hex", false)) {
        const std::string& name = *chosen;
        form_.window.SetEnabled(false);
        if (!ReadableWithSize(name, kEpromWordImageSize)) {
            lock.Report(Outcome::BadInput);
            RefuseSize();
        } else {
            form_.LogLine("Dateiname:" + name);
            form_.LogInfo("EPROM --> EPROM_odd_even: Datei-Schreibvorgang läuft...");
            const EpromFileResult result = SplitEpromImage(name, OddHalfPath(name), EvenHalfPath(name));
            Finish(lock, result, name);
        }
    }
}

void EpromSplitOperations::JoinHalves(BusyLock& lock) {
    lock.TakeControls();
    form_.window.SetEnabled(true);  // for the dialogs
    std::optional<std::string> odd = ChooseFile("name_odd.hex", false);
    std::optional<std::string> even = odd ? ChooseFile("name_even.hex", false) : std::nullopt;
    if (odd && even) {
        if (!ReadableWithSize(*odd, kEpromHalfSize) || !ReadableWithSize(*even, kEpromHalfSize)) {
            form_.window.SetEnabled(false);
            lock.Report(Outcome::BadInput);
            RefuseSize();
        } else if (const std::optional<std::string> joined = ChooseFile("name.hex", true)) {
            form_.window.SetEnabled(false);
            form_.LogLine("Dateiname:" + *odd);
            form_.LogLine("Dateiname:" + *even);
            form_.LogInfo("EPROM_odd_even --> EPROM: Datei-Schreibvorgang läuft...");
            const EpromFileResult result = JoinEpromImage(*odd, *even, *joined);
            Finish(lock, result, *joined);
        }
    }
}

}  // namespace qvd
