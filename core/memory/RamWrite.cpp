#include "core/memory/RamWrite.h"

#include "core/form/MessageBox.h"
#include "core/memory/ByteSum.h"
#include "core/memory/RestorePlan.h"
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

}  // namespace

RamWrite::RamWrite(Host& host, MainForm& form, CommandExchange& link, Connection& conn)
    : host_(host), form_(form), link_(link), conn_(conn) {}

void RamWrite::RefuseSize() {
    form_.LogError("Dateifehler: Abweichende Byteanzahl");
    form_.LogInfo("Bitte warten...");
    link_.DelayWithEvents(kRefusalPause);
}

void RamWrite::RestoreRamFromFile() {
    form_.EnableControls(false);
    form_.window.SetEnabled(true);  // for the question and the dialog
    struct ProgressOff {
        Control& bar;
        ~ProgressOff() { bar.SetVisible(false); }
    } progressOff{form_.progressBar};

    std::optional<std::string> chosen;
    if (host_.AskYesNo(kWindowCaption, kRestoreQuestion)) {
        FileDialogRequest request;
        request.filter = "(*.dat)|*.dat|(*.*)|*.*";
        request.defaultName = "name.dat";
        chosen = host_.OpenFileDialog(request);
    }
    if (!chosen) {
        form_.pollTimer.SetEnabled(true);
        return;
    }
    const std::string& name = *chosen;
    form_.window.SetEnabled(false);

    // One read gives size, sum and blocks, so what is announced with "n" is
    // exactly what is sent, even if the file changes meanwhile.
    const ImageFile file = ReadImageFile(name);
    if (file.error == ImageFileError::CannotOpen || file.error == ImageFileError::CannotRead) {
        form_.LogInfo("Dateifehler (open): " + name);
        ShowBox(host_, "Dateifehler (open)\r\rDen RAM-Schreibvorgang wiederholen.", MessageIcon::Warning);
        form_.pollTimer.SetEnabled(true);
        return;
    }
    // Refused before anything is sent: a module must never be left with an
    // image cut short.
    if (file.error == ImageFileError::TooLarge || !RestoreImageSizeAccepted(file.bytes.size(), conn_.moduleType)) {
        RefuseSize();
        form_.pollTimer.SetEnabled(true);
        return;
    }
    const std::string& image = file.bytes;
    const uint16_t sum = ByteSum(image);
    const bool announced = link_.SendCommand("n" + FormatHex4(sum) + "\r", kAnnounceWait);
    form_.LogLine("Dateiname:" + name);
    form_.LogInfo("Datei --> RAM: Schreibvorgang läuft...");

    // Without the announcement the adapter would take the image as commands.
    const size_t sent = announced ? SendImage(image) : 0;
    form_.LogInfo("gesendete Byte: " + std::to_string(sent) + "/" + std::to_string(image.size()));
    if (sent != image.size()) {
        form_.LogError("Datenübertragungsfehler: Abweichende Byteanzahl");
        form_.LogInfo("Bitte warten...");
        link_.DelayWithEvents(kRefusalPause);
        form_.pollTimer.SetEnabled(true);
        return;
    }
    form_.LogInfo("Daten erfolgreich übertragen...");
    form_.LogInfo("RAM-Überprüfung, bitte warten...");
    link_.DelayWithEvents(kAdapterCheckWait);
    if (link_.ExchangeCommand("r", 18)) {
        const std::string& answer = link_.LastAnswer();
        const std::string ramSum = FromWire(Field(answer, 5, 4));
        form_.LogLine("RAM/Datei=" + ramSum + "/" + FormatHex4(sum));
        form_.LogInfo(StatusCodeText(Field(answer, 1, 2)));
        // The adapter's "OK" speaks of its own check; the module holds other
        // bytes than the file when the sums differ, and that must not read as
        // success.
        if (ramSum != FormatHex4(sum)) {
            form_.LogError("Checksumme stimmt NICHT. RAM-Checksumme:" + ramSum +
                           " Datei-Checksumme:" + FormatHex4(sum));
            ShowBox(host_, "Checksummefehler\r\rDen RAM-Schreibvorgang wiederholen.", MessageIcon::Error);
        }
    } else {
        form_.LogInfo("Keine Kommunikations mit dem QVD-Modul");
    }
    form_.pollTimer.SetEnabled(true);
}

size_t RamWrite::SendImage(const std::string& image) {
    const std::string size = std::to_string(image.size());
    size_t sent = 0;
    for (const size_t block : RestoreBlockSizes(image.size(), conn_.moduleType)) {
        bool written = false;
        try {
            written = link_.comm().WriteText(image.substr(sent, block));
        } catch (const EVaCommError& error) {
            form_.LogError(error.what());
        }
        // Only what the port took counts; a short or timed-out write ends
        // the image here.
        if (!written) break;
        sent += block;
        link_.DelayWithEvents(kBlockPause);
        form_.messagePanel.SetCaption("Datei --> RAM: Schreibvorgang läuft...");
        form_.bytesPanel.SetCaption("Tx-Bytes: " + std::to_string(sent) + "/" + size);
        ShowTransferProgress(form_.progressBar, sent, image.size());
    }
    return sent;
}

void RamWrite::ClearRam() {
    form_.EnableControls(false);
    if (host_.AskYesNo(kWindowCaption, kClearQuestion) && link_.ExchangeCommand("g0001", 6)) {
        form_.LogInfo("RAM wird komplett gelöscht, bitte warten...");
        const ModuleProfile* profile = FindProfile(conn_.moduleType);
        if (profile && profile->ramClearWaitMs) link_.DelayWithEvents(profile->ramClearWaitMs);
        if (link_.ExchangeCommand("r", 18))
            form_.LogInfo(StatusCodeText(Field(link_.LastAnswer(), 1, 2)));
        else
            form_.LogInfo("Keine Kommunikations mit dem QVD-Modul");
    }
    form_.pollTimer.SetEnabled(true);
}

}  // namespace qvd
