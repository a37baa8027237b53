#include "core/memory/MemorySaveOperation.h"

#include "core/form/MessageBox.h"
#include "core/memory/ByteSum.h"
#include "core/wire/ModuleProfile.h"

namespace qvd {

namespace {

const char* const kRepeat = "Den RAM/EPROM-Auslesevorgang wiederholen.";

}  // namespace

MemorySaveOperation::MemorySaveOperation(OperationContext& ctx, MemoryKind kind)
    : BulkRead(ctx), kind_(kind), verification_(ctx) {
    verification_.failureNote = [this] { return PutAside(); };
}

void MemorySaveOperation::Start(BusyLock& lock) {
    const bool eprom = kind_ == MemoryKind::Eprom;
    lock.TakeControls();
    form().window.SetEnabled(true);  // for the dialog
    FileDialogRequest request;
    request.filter = eprom ? "(*.hex)|*.hex|(*.*)|*.*" : "(*.dat)|*.dat|(*.*)|*.*";
    request.defaultName = eprom ? "name.hex" : "name.dat";
    const std::optional<std::string> chosen = ctx_.host.SaveFileDialog(request);
    if (!chosen) return;
    fileName_ = *chosen;
    BeginStream(eprom ? TransferKind::EpromSave : TransferKind::RamSave, 0);
    // An existing file (the last backup, often) is only replaced by a
    // verified one; a FIFO or device is refused before anything is sent.
    if (std::optional<SaveFile> created = SaveFile::Create(fileName_)) file_.emplace(std::move(*created));
    if (file_) {
        form().LogLine("Dateiname:" + fileName_);
        form().LogInfo(eprom ? "EPROM --> Datei: Übertragung läuft..." : "RAM --> Datei: Übertragung läuft...");
        StartBinaryStream(kind_);
        ShowProgress();
    } else {
        // The transfer state stays: the next ticks end this empty read and
        // report the file once more.
        form().LogInfo("Dateifehler (open): " + fileName_);
        ctx_.runner.Report(Outcome::FileFailed);
        ShowBox(ctx_.host, "Dateifehler (open)\r\rDatei konnte nicht erzeugt werden.", MessageIcon::Warning);
    }
}

void MemorySaveOperation::Take(const std::string& chunk) {
    std::FILE* stream = file_ ? file_->stream() : nullptr;
    if (stream && !writeFailed_ &&
        (std::fwrite(chunk.data(), 1, chunk.size(), stream) != chunk.size() || std::fflush(stream) != 0))
        writeFailed_ = true;  // keep draining the port; reported at the end
    form().bytesPanel.SetCaption("Rx-Bytes: " + std::to_string(receivedBytes_));
}

void MemorySaveOperation::End(BusyLock& lock) {
    EndBinaryStream(lock);
    CompleteFile();
}

std::string MemorySaveOperation::PutAside() {
    if (!file_) return {};
    const std::string kept = file_->Abandon();
    file_.reset();
    if (kept.empty() || kept == fileName_) return {};
    form().LogLine("Datei unverändert: " + fileName_ + ", empfangene Daten unter: " + kept);
    return "\r\rDie Datei " + fileName_ + " ist unverändert. Die empfangenen Daten stehen unter: " + kept;
}

void MemorySaveOperation::Discard() {
    if (!file_) return;
    const std::string kept = file_->Abandon();
    file_.reset();
    if (!kept.empty()) std::remove(kept.c_str());
}

void MemorySaveOperation::Fail(Outcome outcome, const std::string& logLine, const std::string& box,
                               MessageIcon icon) {
    ctx_.runner.Report(outcome);
    form().LogInfo(logLine);
    const std::string note = PutAside();
    ShowBox(ctx_.host, box + note, icon);
}

void MemorySaveOperation::CompleteFile() {
    if (!file_ || writeFailed_) {
        Fail(Outcome::FileFailed, "Dateifehler (open): " + fileName_, std::string("Dateifehler (open)\r\r") + kRepeat, MessageIcon::Warning);
        return;
    }
    // The file holds what was received, no more; anything else is not the
    // file this read wrote (or never ends, as /dev/zero).
    const std::optional<FileSum> sum = SumFile(file_->writtenPath(), receivedBytes_);
    if (!sum) {
        Fail(Outcome::FileFailed, "Dateifehler (close): " + fileName_,
             std::string("Dateifehler (closefile)\r\r") + kRepeat, MessageIcon::Warning);
        return;
    }
    const ModuleProfile* profile = FindProfile(ctx_.conn().moduleType());
    const bool checkable = profile && profile->ramImageSize != 0;
    if (checkable && sum->size != profile->ramImageSize && sum->size != profile->epromImageSize) {
        Fail(exchange().PortLost() ? Outcome::AdapterLost : Outcome::DataDiffer, "Übertragung NICHT vollständig. Gesamtbyte Rx/Datei:" + std::to_string(receivedBytes_) + "/" +
                 std::to_string(sum->size),
             std::string("Übertragunsfehler\r\r") + kRepeat, MessageIcon::Error);
        return;
    }
    if (checkable) {
        verification_.VerifySave(kind_ == MemoryKind::Eprom, sum->size, receivedBytes_, sum->sum);
        if (!verification_.passed()) {
            PutAside();  // told in the verification's box
            return;
        }
    }
    if (!file_->Commit()) {
        Fail(Outcome::FileFailed, "Dateifehler (close): " + fileName_,
             std::string("Dateifehler (closefile)\r\r") + kRepeat, MessageIcon::Warning);
        return;
    }
    file_.reset();
    ctx_.runner.Figure("bytes", std::to_string(sum->size));
    ctx_.runner.Report(Outcome::Succeeded);
}

}  // namespace qvd
