#include "core/memory/BulkReads.h"

#include "core/form/Colors.h"
#include "core/form/MessageBox.h"
#include "core/memory/ByteSum.h"
#include "core/memory/ProgressBar.h"
#include "core/wire/AnswerFields.h"
#include "core/wire/ModuleProfile.h"
#include "core/wire/Text.h"

#include <algorithm>

namespace qvd {

namespace {

constexpr int32_t kSilentTicksToEnd = 3;
constexpr size_t kMaxMemoryRead = 512 * 1024;
// Adapters before this version have no memory checksum command.
constexpr const char* kMemoryChecksumVersion = "1.10";

// The four characters after the first " V" of the identification line.
std::string AdapterVersion(const std::string& identification) {
    const size_t at = identification.find(" V");
    if (at == std::string::npos) return {};
    return identification.substr(at + 2, 4);
}

std::string WithoutLineEnd(std::string line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    return line;
}

}  // namespace

BulkReads::BulkReads(Host& host, MainForm& form, CommandExchange& link, Connection& conn,
                     TransferContext& transfer)
    : host_(host), form_(form), link_(link), conn_(conn), transfer_(transfer) {}

void BulkReads::ShowBox(const std::string& text, MessageIcon icon) { qvd::ShowBox(host_, text, icon); }

Control& BulkReads::ViewOf(ConnState state) {
    return state == ConnState::EpromViewRead ? form_.epromView : form_.ramView;
}

void BulkReads::ShowProgress() {
    ShowTransferProgress(form_.progressBar, static_cast<uint64_t>(transfer_.receivedBytes),
                         transfer_.expectedBytes);
}

void BulkReads::HideProgress() { form_.progressBar.SetVisible(false); }

void BulkReads::OnBytesReceived() {
    if (transfer_.inputHold || !IsTransferState(conn_.state)) return;
    std::string chunk;
    try {
        chunk = link_.comm().ReadText();
    } catch (const EVaCommError& error) {
        // The port has closed; silence ends the transfer at the next ticks.
        link_.ReportPortFailure(error);
        return;
    }
    if (chunk.empty()) return;
    transfer_.receivedBytes += static_cast<int32_t>(chunk.size());
    const std::string count = std::to_string(transfer_.receivedBytes);

    if (conn_.state == ConnState::FileRead && transfer_.intoMemory) {
        // Held for the comparison up to the largest RAM; more is counted only.
        const size_t room = kMaxMemoryRead - std::min(kMaxMemoryRead, transfer_.memory.size());
        transfer_.memory.append(chunk, 0, std::min(room, chunk.size()));
        form_.bytesPanel.SetCaption("Rx-Bytes: " + count);
    } else if (conn_.state == ConnState::FileRead) {
        std::FILE* file = transfer_.file;
        if (file && !transfer_.fileWriteFailed &&
            (std::fwrite(chunk.data(), 1, chunk.size(), file) != chunk.size() || std::fflush(file) != 0))
            transfer_.fileWriteFailed = true;  // keep draining the port; reported at the end
        form_.bytesPanel.SetCaption("Rx-Bytes: " + count);
    } else {
        std::vector<std::string> lines = transfer_.viewLines.Append(chunk);
        for (std::string& line : lines) line = FromWire(WithoutLineEnd(std::move(line)));
        ViewOf(conn_.state).AddLines(std::move(lines));
        form_.bytesPanel.SetCaption("RX-Bytes: " + count);
    }
    conn_.lastAnswer = std::move(chunk);
    transfer_.idleTicks = 0;
    ShowProgress();
}

bool BulkReads::ReportVerificationLost() {
    if (!link_.PortLost()) return false;
    form_.LogInfo("Überprüfung nicht möglich: keine Verbindung zum QVD-Modul.");
    ShowBox("Keine Verbindung zum QVD-Modul\r\rDen RAM/EPROM-Auslesevorgang wiederholen.", MessageIcon::Error);
    return true;
}

void BulkReads::ReleaseInput() {
    transfer_.inputHold = false;
    try {
        if (link_.comm().InputCount() > 0) OnBytesReceived();
    } catch (const EVaCommError&) {
        // Reported by the next read of the transfer or exchange.
    }
}

void BulkReads::OnTransferTick() {
    if (conn_.state == ConnState::FileRead)
        FileReadTick();
    else
        ViewReadTick();
}

void BulkReads::FileReadTick() {
    if (++transfer_.idleTicks < kSilentTicksToEnd) return;
    form_.pollTimer.SetEnabled(false);
    conn_.state = ConnState::Connected;
    HideProgress();
    if (transfer_.intoMemory)
        CompleteComparison();
    else
        CompleteFileRead();
    form_.pollTimer.SetEnabled(true);
}

void BulkReads::CompleteFileRead() {
    const std::string& name = transfer_.fileName;  // the file system's UTF-8
    std::FILE* file = transfer_.file;
    transfer_.file = nullptr;
    const bool closed = file && std::fclose(file) == 0;
    if (!closed || transfer_.fileWriteFailed) {
        transfer_.fileWriteFailed = false;
        form_.LogInfo("Dateifehler (open): " + name);
        ShowBox("Dateifehler (open)\r\rDen RAM/EPROM-Auslesevorgang wiederholen.", MessageIcon::Warning);
        return;
    }
    // The file holds what was received, no more; anything else is not the
    // file this read wrote (or never ends, as /dev/zero).
    const std::optional<FileSum> sum =
        SumFile(transfer_.fileName, static_cast<uint64_t>(std::max(transfer_.receivedBytes, 0)));
    if (!sum) {
        form_.LogInfo("Dateifehler (close): " + name);
        ShowBox("Dateifehler (closefile)\r\rDen RAM/EPROM-Auslesevorgang wiederholen.", MessageIcon::Warning);
        return;
    }
    const ModuleProfile* profile = FindProfile(conn_.moduleType);
    if (!profile || profile->ramImageSize == 0) return;  // nothing to check against
    if (sum->size == profile->ramImageSize || sum->size == profile->epromImageSize) {
        VerifyTransfer(sum->size, sum->sum);
        return;
    }
    form_.LogInfo("Übertragung NICHT vollständig. Gesamtbyte Rx/Datei:" +
                  std::to_string(transfer_.receivedBytes) + "/" + std::to_string(sum->size));
    ShowBox("Übertragunsfehler\r\rDen RAM/EPROM-Auslesevorgang wiederholen.", MessageIcon::Error);
}

void BulkReads::VerifyTransfer(uint64_t fileSize, uint16_t fileSum) {
    const bool answered = link_.ExchangeCommand("r", 18);
    const std::string transferSum = FromWire(Field(link_.LastAnswer(), 5, 4));
    const std::string sum = FormatHex4(fileSum);
    if (!answered && ReportVerificationLost()) {
        transfer_.epromRead = false;
        return;
    }
    if (transferSum != sum) {
        form_.LogInfo("Checksumme stimmt NICHT. Rx-Checksumme:" + transferSum + " Datei-Checksumme:" + sum);
        ShowBox("Checksummefehler\r\rDen RAM/EPROM-Auslesevorgang wiederholen.", MessageIcon::Error);
    } else {
        form_.LogLine("Übertragung erfolgreich beendet. " + std::to_string(fileSize) + "/" +
                      std::to_string(transfer_.receivedBytes) + ", " + sum + "/" + transferSum);
        if (AdapterVersion(form_.identificationLabel.caption) < kMemoryChecksumVersion)
            form_.LogLine("OK");
        else
            VerifyMemoryChecksum(sum);
    }
    transfer_.epromRead = false;
}

void BulkReads::VerifyMemoryChecksum(const std::string& sum) {
    const bool eprom = transfer_.epromRead;
    form_.LogInfo(eprom ? "EPROM-Überprüfung, bitte warten..." : "RAM-Überprüfung, bitte warten...");
    const std::string command = eprom ? "g0020" : "g0010";
    if (!link_.ExchangeCommand(command, 10) && ReportVerificationLost()) return;
    const std::string first = FromWire(Field(link_.LastAnswer(), 7, 4));
    if (first == sum) {
        form_.LogLine("RAM/EPROM:UART/Datei = " + first + ":" + sum);
        form_.LogLine("OK");
        return;
    }
    form_.LogInfo("moment...");
    if (!link_.ExchangeCommand(command, 10) && ReportVerificationLost()) return;
    const std::string second = FromWire(Field(link_.LastAnswer(), 7, 4));
    if (second == sum) {
        form_.LogLine("RAM/EPROM:UART/Datei = " + second + ":" + sum);
        form_.LogLine("OK");
    } else if (first != second) {
        form_.LogInfo("Unterschiedliche RAM/EPROM Checksumme: Checksumme1=" + first + " Checksumme2=" +
                      second + " UART/Datei-Checksumme=" + sum);
        ShowBox("Unterschiedliche RAM/ERPOM-Checksummefehler, evtl. Kontaktprobleme\r\rKontaktverbindung "
                "prüfen und den RAM/EPROM-Auslesevorgang wiederholen.",
                MessageIcon::Error);
    } else {
        form_.LogInfo("Checksumme stimmt NICHT. RAM/EPROM-Checksumme:" + second + " UART/Datei-Checksumme:" + sum);
        ShowBox("Checksummefehler\r\rDen RAM/EPROM-Auslesevorgang wiederholen.", MessageIcon::Error);
    }
}

void BulkReads::ViewReadTick() {
    if (++transfer_.idleTicks < kSilentTicksToEnd) return;
    Control& view = ViewOf(conn_.state);
    conn_.state = ConnState::Connected;
    form_.activityIndicator.SetColor(colors::Navy);
    // A last line without its carriage return is still part of the dump.
    const std::string rest = transfer_.viewLines.TakeRest();
    if (!rest.empty()) view.AddLine(FromWire(WithoutLineEnd(rest)));
    HideProgress();
    const std::string count = std::to_string(transfer_.receivedBytes);
    if (link_.PortLost()) {
        // The dump has no length to check; a lost port is the one sure sign
        // that it was cut short.
        form_.LogInfo("Übertragung abgebrochen: keine Verbindung zum QVD-Modul. Gesamtbyte:" + count);
        return;
    }
    form_.LogLine("Übertragung erfolgreich beendet. Gesamtbyte:" + count);
    link_.ExchangeCommand("d0000", 6);
}

void BulkReads::ShowWholeMemory(MemoryKind kind) {
    const bool ram = kind == MemoryKind::Ram;
    transfer_.inputHold = true;
    form_.EnableControls(false);
    if (link_.ExchangeCommand("d0001", 6)) {
        conn_.state = ram ? ConnState::RamViewRead : ConnState::EpromViewRead;
        (ram ? form_.ramView : form_.epromView).Clear();
        transfer_.idleTicks = 0;
        transfer_.receivedBytes = 0;
        transfer_.expectedBytes = 0;  // the text form's length is the adapter's
        form_.LogInfo(ram ? "RAM --> PC: Gesamtinhalt-Übertragung läuft..."
                          : "EPROM --> PC: Gesamtinhalt-Übertragung läuft...");
        link_.DiscardInput();
        transfer_.viewLines.TakeRest();
        if (ram) link_.DelayWithEvents(100);
        link_.SendCommand(ram ? "a\r" : "h\r", 10);
        form_.activityIndicator.SetColor(colors::Red);
        ShowProgress();
    }
    ReleaseInput();
    form_.pollTimer.SetEnabled(true);
}

void BulkReads::StartBinaryStream(MemoryKind kind) {
    const bool eprom = kind == MemoryKind::Eprom;
    link_.ExchangeCommand("d0000", 6);
    link_.DelayWithEvents(10);
    transfer_.idleTicks = 0;
    transfer_.receivedBytes = 0;
    const ModuleProfile* profile = FindProfile(conn_.moduleType);
    transfer_.expectedBytes = profile ? (eprom ? profile->epromImageSize : profile->ramImageSize) : 0;
    link_.SendCommand(eprom ? "h\r" : "a\r", 10);
}

void BulkReads::SaveMemoryToFile(MemoryKind kind) {
    const bool eprom = kind == MemoryKind::Eprom;
    transfer_.inputHold = true;
    form_.EnableControls(false);
    form_.window.SetEnabled(true);  // for the dialog
    FileDialogRequest request;
    request.filter = eprom ? "(*.hex)|*.hex|(*.*)|*.*" : "(*.dat)|*.dat|(*.*)|*.*";
    request.defaultName = eprom ? "name.hex" : "name.dat";
    const std::optional<std::string> chosen = host_.SaveFileDialog(request);
    if (chosen) {
        transfer_.fileName = *chosen;
        const std::string& name = *chosen;
        conn_.state = ConnState::FileRead;
        transfer_.idleTicks = 0;
        transfer_.receivedBytes = 0;
        transfer_.epromRead = eprom;
        transfer_.intoMemory = false;
        transfer_.fileWriteFailed = false;
        if (transfer_.file) std::fclose(transfer_.file);
        transfer_.file = std::fopen(chosen->c_str(), "wb");
        if (transfer_.file) {
            form_.LogLine("Dateiname:" + name);
            form_.LogInfo(eprom ? "EPROM --> Datei: Übertragung läuft..." : "RAM --> Datei: Übertragung läuft...");
            StartBinaryStream(kind);
            ShowProgress();
        } else {
            // The transfer state stays: the next ticks end this empty read
            // and report the file once more.
            form_.LogInfo("Dateifehler (open): " + name);
            ShowBox("Dateifehler (open)\r\rDatei konnte nicht erzeugt werden.", MessageIcon::Warning);
        }
    }
    ReleaseInput();
    form_.pollTimer.SetEnabled(true);
}

}  // namespace qvd
