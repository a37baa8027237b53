#include "core/memory/MemoryVerification.h"

#include "core/form/MessageBox.h"
#include "core/wire/AnswerFields.h"
#include "core/wire/Hex.h"
#include "core/wire/Text.h"

namespace qvd {

namespace {

// Adapters before this version have no memory checksum command.
constexpr const char* kMemoryChecksumVersion = "1.10";

const char* const kChecksumBox = "Checksummefehler\r\rDen RAM/EPROM-Auslesevorgang wiederholen.";

}  // namespace

void MemoryVerification::ShowBox(const std::string& text, MessageIcon icon) {
    ctx_.runner.Report(Outcome::DataDiffer);  // every box of the checks but the lost port's
    qvd::ShowBox(ctx_.host, failureNote ? text + failureNote() : text, icon);
}

bool MemoryVerification::ReportLost() {
    // A missed answer on an open port goes on as the checks do (a second
    // "g0010" may still verify the file); only a lost port is a lost adapter.
    if (!ctx_.exchange.PortLost()) return false;
    ctx_.runner.Report(Outcome::AdapterLost);
    ctx_.form.LogInfo("Überprüfung nicht möglich: keine Verbindung zum QVD-Modul.");
    ShowBox("Keine Verbindung zum QVD-Modul\r\rDen RAM/EPROM-Auslesevorgang wiederholen.", MessageIcon::Error);
    return true;
}

bool MemoryVerification::TransferSumHolds(uint16_t receivedSum) {
    if (!ctx_.exchange.ExchangeCommand("r", 18) && ReportLost()) return false;
    const std::string transferSum = FromWire(Field(ctx_.exchange.LastAnswer(), 5, 4));
    const std::string sum = FormatHex4(receivedSum);
    ctx_.runner.Figure("transferChecksum", transferSum);
    if (transferSum == sum) return true;
    ctx_.form.LogInfo("Checksumme stimmt NICHT. Rx-Checksumme:" + transferSum + " Datei-Checksumme:" + sum);
    ShowBox(kChecksumBox, MessageIcon::Error);
    return false;
}

void MemoryVerification::VerifySave(bool eprom, uint64_t fileSize, uint64_t receivedBytes, uint16_t fileSum) {
    passed_ = false;
    const bool answered = ctx_.exchange.ExchangeCommand("r", 18);
    const std::string transferSum = FromWire(Field(ctx_.exchange.LastAnswer(), 5, 4));
    const std::string sum = FormatHex4(fileSum);
    ctx_.runner.Figure("fileChecksum", sum);
    ctx_.runner.Figure("transferChecksum", transferSum);
    if (!answered && ReportLost()) return;
    if (transferSum != sum) {
        ctx_.form.LogInfo("Checksumme stimmt NICHT. Rx-Checksumme:" + transferSum + " Datei-Checksumme:" + sum);
        ShowBox(kChecksumBox, MessageIcon::Error);
        return;
    }
    ctx_.form.LogLine("Übertragung erfolgreich beendet. " + std::to_string(fileSize) + "/" +
                      std::to_string(receivedBytes) + ", " + sum + "/" + transferSum);
    if (ctx_.conn().adapterVersion() < kMemoryChecksumVersion) {
        ctx_.form.LogLine("OK");
        passed_ = true;
        return;
    }
    VerifyMemoryChecksum(eprom, sum);
}

void MemoryVerification::VerifyMemoryChecksum(bool eprom, const std::string& sum) {
    ctx_.form.LogInfo(eprom ? "EPROM-Überprüfung, bitte warten..." : "RAM-Überprüfung, bitte warten...");
    const std::string command = eprom ? "g0020" : "g0010";
    CommandExchange& exchange = ctx_.exchange;
    if (!exchange.ExchangeCommand(command, 10) && ReportLost()) return;
    const std::string first = FromWire(Field(exchange.LastAnswer(), 7, 4));
    ctx_.runner.Figure("memoryChecksum", first);
    if (first == sum) {
        ctx_.form.LogLine("RAM/EPROM:UART/Datei = " + first + ":" + sum);
        ctx_.form.LogLine("OK");
        passed_ = true;
        return;
    }
    ctx_.form.LogInfo("moment...");
    if (!exchange.ExchangeCommand(command, 10) && ReportLost()) return;
    const std::string second = FromWire(Field(exchange.LastAnswer(), 7, 4));
    ctx_.runner.Figure("memoryChecksum2", second);
    if (second == sum) {
        ctx_.form.LogLine("RAM/EPROM:UART/Datei = " + second + ":" + sum);
        ctx_.form.LogLine("OK");
        passed_ = true;
    } else if (first != second) {
        ctx_.form.LogInfo("Unterschiedliche RAM/EPROM Checksumme: Checksumme1=" + first + " Checksumme2=" +
                          second + " UART/Datei-Checksumme=" + sum);
        ShowBox("Unterschiedliche RAM/ERPOM-Checksummefehler, evtl. Kontaktprobleme\r\rKontaktverbindung "
                "prüfen und den RAM/EPROM-Auslesevorgang wiederholen.",
                MessageIcon::Error);
    } else {
        ctx_.form.LogInfo("Checksumme stimmt NICHT. RAM/EPROM-Checksumme:" + second +
                          " UART/Datei-Checksumme:" + sum);
        ShowBox(kChecksumBox, MessageIcon::Error);
    }
}

}  // namespace qvd
