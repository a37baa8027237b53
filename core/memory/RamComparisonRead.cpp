// The comparison of the module's RAM with an image file: a binary read like
// the RAM save, held in memory instead of written.
#include "core/form/MessageBox.h"
#include "core/memory/BulkReads.h"
#include "core/memory/ByteSum.h"
#include "core/memory/RamCompare.h"
#include "core/memory/RestorePlan.h"
#include "core/wire/AnswerFields.h"
#include "core/wire/ModuleProfile.h"
#include "core/wire/Text.h"

namespace qvd {

void BulkReads::CompareRamWithFile() {
    form_.EnableControls(false);
    form_.window.SetEnabled(true);  // for the dialog
    FileDialogRequest request;
    request.filter = "(*.dat)|*.dat|(*.*)|*.*";
    request.defaultName = "name.dat";
    const std::optional<std::string> chosen = host_.OpenFileDialog(request);
    if (!chosen) {
        form_.pollTimer.SetEnabled(true);
        return;
    }
    form_.window.SetEnabled(false);
    const std::string& name = *chosen;
    ImageFile file = ReadImageFile(name);
    if (file.error == ImageFileError::CannotOpen || file.error == ImageFileError::CannotRead) {
        form_.LogInfo("Dateifehler (open): " + name);
        ShowBox("Dateifehler (open)\r\rVorgang wiederholen.", MessageIcon::Warning);
        form_.pollTimer.SetEnabled(true);
        return;
    }
    const ModuleProfile* profile = FindProfile(conn_.moduleType);
    const bool sizeKnown = profile && profile->ramImageSize;
    if (!file.ok() || file.bytes.empty() || (sizeKnown && file.bytes.size() != profile->ramImageSize)) {
        form_.LogError("Dateifehler: Abweichende Byteanzahl");
        form_.pollTimer.SetEnabled(true);
        return;
    }
    transfer_.inputHold = true;
    transfer_.compareFile = std::move(file.bytes);
    transfer_.memory.clear();
    transfer_.memory.reserve(transfer_.compareFile.size());
    transfer_.intoMemory = true;
    conn_.state = ConnState::FileRead;
    form_.LogLine("Dateiname:" + name);
    form_.LogInfo("RAM --> PC: Vergleich mit Datei läuft...");
    StartBinaryStream(MemoryKind::Ram);
    ShowProgress();
    ReleaseInput();
    form_.pollTimer.SetEnabled(true);
}

void BulkReads::CompleteComparison() {
    transfer_.intoMemory = false;
    const std::string ram = std::move(transfer_.memory);
    const std::string file = std::move(transfer_.compareFile);
    transfer_.memory.clear();
    transfer_.compareFile.clear();
    if (static_cast<size_t>(transfer_.receivedBytes) != file.size()) {
        form_.LogInfo("Übertragung NICHT vollständig. Gesamtbyte Rx/Datei:" +
                      std::to_string(transfer_.receivedBytes) + "/" + std::to_string(file.size()));
        ShowBox("Übertragunsfehler\r\rDen RAM/EPROM-Auslesevorgang wiederholen.", MessageIcon::Error);
        return;
    }
    // A byte spoilt on the line would show as a difference that is not in
    // the module: the transfer checksum must hold before any verdict.
    if (!link_.ExchangeCommand("r", 18) && ReportVerificationLost()) return;
    const std::string transferSum = FromWire(Field(link_.LastAnswer(), 5, 4));
    const std::string sum = FormatHex4(ByteSum(ram));
    if (transferSum != sum) {
        form_.LogInfo("Checksumme stimmt NICHT. Rx-Checksumme:" + transferSum + " Datei-Checksumme:" + sum);
        ShowBox("Checksummefehler\r\rDen RAM/EPROM-Auslesevorgang wiederholen.", MessageIcon::Error);
        return;
    }
    if (const std::optional<RamComparison> comparison = CompareRam(ram, file))
        form_.LogInfo(RamCompareText(*comparison, conn_.moduleType));
}

}  // namespace qvd
