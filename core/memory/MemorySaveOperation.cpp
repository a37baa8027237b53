#include "core/memory/MemorySaveOperation.h"

#include "core/form/MessageBox.h"
#include "core/memory/ByteSum.h"
#include "core/wire/ModuleProfile.h"

namespace qvd {

namespace {

const char* const kRepeat = "Den RAM/EPROM-Auslesevorgang wiederholen.";

}  // namespace

MemorySaveOperation::~MemorySaveOperation() {
    if (file_) std::fclose(file_);
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
    file_ = std::fopen(fileName_.c_str(), "wb");
    if (file_) {
        form().LogLine("Dateiname:" + fileName_);
        form().LogInfo(eprom ? "EPROM --> Datei: Übertragung läuft..." : "RAM --> Datei: Übertragung läuft...");
        StartBinaryStream(kind_);
        ShowProgress();
    } else {
        // The transfer state stays: the next ticks end this empty read and
        // report the file once more.
        form().LogInfo("Dateifehler (open): " + fileName_);
        ShowBox(ctx_.host, "Dateifehler (open)\r\rDatei konnte nicht erzeugt werden.", MessageIcon::Warning);
    }
}

void MemorySaveOperation::Take(const std::string& chunk) {
    if (file_ && !writeFailed_ &&
        (std::fwrite(chunk.data(), 1, chunk.size(), file_) != chunk.size() || std::fflush(file_) != 0))
        writeFailed_ = true;  // keep draining the port; reported at the end
    form().bytesPanel.SetCaption("Rx-Bytes: " + std::to_string(receivedBytes_));
}

void MemorySaveOperation::End(BusyLock& lock) {
    lock.HoldTimer();
    ctx_.runner.EndTransfer();
    form().progressBar.SetVisible(false);
    CompleteFile();
}

void MemorySaveOperation::CompleteFile() {
    std::FILE* file = file_;
    file_ = nullptr;
    const bool closed = file && std::fclose(file) == 0;
    if (!closed || writeFailed_) {
        form().LogInfo("Dateifehler (open): " + fileName_);
        ShowBox(ctx_.host, std::string("Dateifehler (open)\r\r") + kRepeat, MessageIcon::Warning);
        return;
    }
    // The file holds what was received, no more; anything else is not the
    // file this read wrote (or never ends, as /dev/zero).
    const std::optional<FileSum> sum = SumFile(fileName_, receivedBytes_);
    if (!sum) {
        form().LogInfo("Dateifehler (close): " + fileName_);
        ShowBox(ctx_.host, std::string("Dateifehler (closefile)\r\r") + kRepeat, MessageIcon::Warning);
        return;
    }
    const ModuleProfile* profile = FindProfile(ctx_.conn().moduleType());
    if (!profile || profile->ramImageSize == 0) return;  // nothing to check against
    if (sum->size == profile->ramImageSize || sum->size == profile->epromImageSize) {
        verification_.VerifySave(kind_ == MemoryKind::Eprom, sum->size, receivedBytes_, sum->sum);
        return;
    }
    form().LogInfo("Übertragung NICHT vollständig. Gesamtbyte Rx/Datei:" + std::to_string(receivedBytes_) + "/" +
                   std::to_string(sum->size));
    ShowBox(ctx_.host, std::string("Übertragunsfehler\r\r") + kRepeat, MessageIcon::Error);
}

}  // namespace qvd
