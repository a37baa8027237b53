#include "core/memory/RamCompareOperation.h"

#include "core/form/MessageBox.h"
#include "core/memory/ByteSum.h"
#include "core/memory/ImageFile.h"
#include "core/memory/RamCompare.h"
#include "core/wire/ModuleProfile.h"

#include <algorithm>

namespace qvd {

namespace {

constexpr size_t kMaxMemoryRead = 512 * 1024;

}  // namespace

void RamCompareOperation::Start(BusyLock& lock) {
    lock.TakeControls();
    form().window.SetEnabled(true);  // for the dialog
    FileDialogRequest request;
    request.filter = "(*.dat)|*.dat|(*.*)|*.*";
    request.defaultName = "name.dat";
    const std::optional<std::string> chosen = ctx_.host.OpenFileDialog(request);
    if (!chosen) return;
    form().window.SetEnabled(false);
    const std::string& name = *chosen;
    ImageFile file = ReadImageFile(name);
    if (file.error == ImageFileError::CannotOpen || file.error == ImageFileError::CannotRead) {
        form().LogInfo("Dateifehler (open): " + name);
        ctx_.runner.Report(Outcome::FileFailed);
        ShowBox(ctx_.host, "Dateifehler (open)\r\rVorgang wiederholen.", MessageIcon::Warning);
        return;
    }
    const ModuleProfile* profile = FindProfile(ctx_.conn().moduleType());
    const bool sizeKnown = profile && profile->ramImageSize;
    if (!file.ok() || file.bytes.empty() || (sizeKnown && file.bytes.size() != profile->ramImageSize)) {
        form().LogError("Dateifehler: Abweichende Byteanzahl");
        ctx_.runner.Report(Outcome::BadInput);
        return;
    }
    file_ = std::move(file.bytes);
    ram_.reserve(file_.size());
    BeginStream(TransferKind::RamComparison, 0);
    form().LogLine("Dateiname:" + name);
    form().LogInfo("RAM --> PC: Vergleich mit Datei läuft...");
    StartBinaryStream(MemoryKind::Ram);
    ShowProgress();
}

void RamCompareOperation::Take(const std::string& chunk) {
    // Held for the comparison up to the largest RAM; more is counted only.
    const size_t room = kMaxMemoryRead - std::min(kMaxMemoryRead, ram_.size());
    ram_.append(chunk, 0, std::min(room, chunk.size()));
    form().bytesPanel.SetCaption("Rx-Bytes: " + std::to_string(receivedBytes_));
}

void RamCompareOperation::End(BusyLock& lock) {
    EndBinaryStream(lock);
    Compare();
}

void RamCompareOperation::Compare() {
    ctx_.runner.Figure("bytes", std::to_string(receivedBytes_));
    if (receivedBytes_ != file_.size()) {
        ctx_.runner.Report(exchange().PortLost() ? Outcome::AdapterLost : Outcome::DataDiffer);
        form().LogInfo("Übertragung NICHT vollständig. Gesamtbyte Rx/Datei:" + std::to_string(receivedBytes_) + "/" +
                       std::to_string(file_.size()));
        ShowBox(ctx_.host, "Übertragunsfehler\r\rDen RAM/EPROM-Auslesevorgang wiederholen.", MessageIcon::Error);
        return;
    }
    // A byte spoilt on the line would show as a difference that is not in
    // the module: the transfer checksum must hold before any verdict.
    if (!verification_.TransferSumHolds(ByteSum(ram_))) return;
    const std::optional<RamComparison> comparison = CompareRam(ram_, file_);
    if (!comparison) {
        ctx_.runner.Report(Outcome::DataDiffer);
        return;
    }
    const std::string text = RamCompareText(*comparison, ctx_.conn().moduleType());
    form().LogInfo(text);
    ctx_.runner.Figure("result", text);
    ctx_.runner.Figure("differingBytes", std::to_string(comparison->differing));
    ctx_.runner.Report(comparison->equal() ? Outcome::Succeeded : Outcome::DataDiffer);
}

}  // namespace qvd
