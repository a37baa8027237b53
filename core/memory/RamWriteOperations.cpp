#include "core/memory/RamWriteOperations.h"

#include "core/form/MessageBox.h"
#include "core/memory/ByteSum.h"
#include "core/memory/ImageFile.h"
#include "core/memory/RamWrite.h"
#include "core/memory/ProgressBar.h"
#include "core/wire/AnswerFields.h"
#include "core/wire/ModuleProfile.h"
#include "core/wire/StatusCodes.h"
#include "core/wire/Text.h"

namespace qvd {

namespace {

constexpr uint32_t kAnnounceWait = 100;
constexpr uint32_t kBlockPause = 1;
constexpr uint32_t kRefusalPause = 3000;
constexpr uint32_t kAdapterCheckWait = 5000;

const char* const kRestoreQuestion =
    "Achtung: Die RAM-Daten im Spielemodul werden ersetzt.\r\rWurden die alten RAM-Daten vorher "
    "gesichert?\r\rDatei --> RAM ausführen?";
const char* const kClearQuestion =
    "Achtung: Die RAM-Daten im Spielemodul werden vollständig gelöscht.\r\rWurden die RAM-Daten "
    "vorher gesichert?\r\rRAM-LÖSCHUNG ausführen?";

void RefuseSize(OperationContext& ctx) {
    ctx.form.LogError("Dateifehler: Abweichende Byteanzahl");
    ctx.form.LogInfo("Bitte warten...");
    ctx.exchange.DelayWithEvents(kRefusalPause);
}

// Sends the image in its blocks; the number of bytes that went out.
size_t SendImage(OperationContext& ctx, const std::string& image) {
    MainForm& form = ctx.form;
    const std::string size = std::to_string(image.size());
    size_t sent = 0;
    std::string bytes;  // one buffer for all the blocks
    for (const size_t block : RestoreBlockSizes(image.size(), ctx.conn().moduleType())) {
        // Only what the port took counts; a short or timed-out write ends
        // the image here.
        bytes.assign(image, sent, block);
        if (!ctx.exchange.WriteBlock(bytes)) break;
        sent += block;
        ctx.exchange.DelayWithEvents(kBlockPause);
        form.messagePanel.SetCaption("Datei --> RAM: Schreibvorgang läuft...");
        form.bytesPanel.SetCaption("Tx-Bytes: " + std::to_string(sent) + "/" + size);
        ShowTransferProgress(form.progressBar, sent, image.size());
    }
    return sent;
}

}  // namespace

void RestoreRamFromFile(OperationContext& ctx, BusyLock& lock) {
    MainForm& form = ctx.form;
    lock.TakeControls();
    form.window.SetEnabled(true);  // for the question and the dialog
    struct ProgressOff {
        Control& bar;
        ~ProgressOff() { bar.SetVisible(false); }
    } progressOff{form.progressBar};

    std::optional<std::string> chosen;
    if (ctx.host.AskYesNo(kWindowCaption, kRestoreQuestion)) {
        FileDialogRequest request;
        request.filter = "(*.dat)|*.dat|(*.*)|*.*";
        request.defaultName = "name.dat";
        chosen = ctx.host.OpenFileDialog(request);
    }
    if (!chosen) {
        lock.Report(Outcome::Refused);
        return;
    }
    const std::string& name = *chosen;
    form.window.SetEnabled(false);

    // One read gives size, sum and blocks, so what is announced with "n" is
    // exactly what is sent, even if the file changes meanwhile.
    const ImageFile file = ReadImageFile(name);
    if (file.error == ImageFileError::CannotOpen || file.error == ImageFileError::CannotRead) {
        form.LogInfo("Dateifehler (open): " + name);
        lock.Report(Outcome::FileFailed);
        ShowBox(ctx.host, "Dateifehler (open)\r\rDen RAM-Schreibvorgang wiederholen.", MessageIcon::Warning);
        return;
    }
    // Refused before anything is sent: a module must never be left with an
    // image cut short.
    if (file.error == ImageFileError::TooLarge || !RestoreImageSizeAccepted(file.bytes.size(), ctx.conn().moduleType())) {
        lock.Report(Outcome::BadInput);
        RefuseSize(ctx);
        return;
    }
    const std::string& image = file.bytes;
    const uint16_t sum = ByteSum(image);
    const bool announced = ctx.exchange.SendCommand("n" + FormatHex4(sum) + "\r", kAnnounceWait);
    form.LogLine("Dateiname:" + name);
    form.LogInfo("Datei --> RAM: Schreibvorgang läuft...");

    // Without the announcement the adapter would take the image as commands.
    const size_t sent = announced ? SendImage(ctx, image) : 0;
    form.LogInfo("gesendete Byte: " + std::to_string(sent) + "/" + std::to_string(image.size()));
    ctx.runner.Figure("bytes", std::to_string(sent));
    ctx.runner.Figure("fileChecksum", FormatHex4(sum));
    if (sent != image.size()) {
        lock.Report(Outcome::AdapterLost);
        form.LogError("Datenübertragungsfehler: Abweichende Byteanzahl");
        form.LogInfo("Bitte warten...");
        ctx.exchange.DelayWithEvents(kRefusalPause);
        return;
    }
    form.LogInfo("Daten erfolgreich übertragen...");
    form.LogInfo("RAM-Überprüfung, bitte warten...");
    ctx.exchange.DelayWithEvents(kAdapterCheckWait);
    if (ctx.exchange.ExchangeCommand("r", 18)) {
        const std::string& answer = ctx.exchange.LastAnswer();
        const std::string ramSum = FromWire(Field(answer, 5, 4));
        form.LogLine("RAM/Datei=" + ramSum + "/" + FormatHex4(sum));
        ctx.runner.Figure("ramChecksum", ramSum);
        lock.Report(ramSum == FormatHex4(sum) ? Outcome::Succeeded : Outcome::DataDiffer);
        form.LogInfo(StatusCodeText(Field(answer, 1, 2)));
        // The adapter's "OK" speaks of its own check; the module holds other
        // bytes than the file when the sums differ, and that must not read as
        // success.
        if (ramSum != FormatHex4(sum)) {
            form.LogError("Checksumme stimmt NICHT. RAM-Checksumme:" + ramSum +
                           " Datei-Checksumme:" + FormatHex4(sum));
            ShowBox(ctx.host, "Checksummefehler\r\rDen RAM-Schreibvorgang wiederholen.", MessageIcon::Error);
        }
    } else {
        // The module's RAM may be half new, half old now: nothing but a box
        // makes sure the user knows.
        form.LogInfo("Keine Kommunikations mit dem QVD-Modul");
        lock.Report(Outcome::AdapterLost);
        ShowBox(ctx.host, "Keine Verbindung zum QVD-Modul\r\rRAM konnte nicht überprüft werden. Den "
                          "RAM-Schreibvorgang wiederholen.",
                MessageIcon::Error);
    }
}

void ClearRam(OperationContext& ctx, BusyLock& lock) {
    MainForm& form = ctx.form;
    lock.TakeControls();
    if (!ctx.host.AskYesNo(kWindowCaption, kClearQuestion)) {
        lock.Report(Outcome::Refused);
        return;
    }
    if (!ctx.exchange.ExchangeCommand("g0001", 6)) {
        lock.Report(Outcome::AdapterLost);
        return;
    }
    form.LogInfo("RAM wird komplett gelöscht, bitte warten...");
    const ModuleProfile* profile = FindProfile(ctx.conn().moduleType());
    if (profile && profile->ramClearWaitMs) ctx.exchange.DelayWithEvents(profile->ramClearWaitMs);
    if (ctx.exchange.ExchangeCommand("r", 18)) {
        form.LogInfo(StatusCodeText(Field(ctx.exchange.LastAnswer(), 1, 2)));
        lock.Report(Outcome::Succeeded);
    } else {
        form.LogInfo("Keine Kommunikations mit dem QVD-Modul");
        lock.Report(Outcome::AdapterLost);
    }
}

}  // namespace qvd
