#pragma once
// The receiving side of every bulk read: after its start command the adapter
// streams a memory area with no length and no end marker. Chunks go to the
// transfer file or are cut into view lines; three silent supervisor ticks end
// the stream; a file read is then checked by size and checksums.
#include "core/form/MainForm.h"
#include "core/host/Host.h"
#include "core/link/CommandExchange.h"
#include "core/link/Connection.h"
#include "core/memory/TransferContext.h"

#include <string>

namespace qvd {

enum class MemoryKind { Ram, Eprom };

class BulkReads {
public:
    BulkReads(Host& host, MainForm& form, CommandExchange& link, Connection& conn,
              TransferContext& transfer);

    // The port's received-bytes notification.
    void OnBytesReceived();
    // The supervisor's tick in the transfer states.
    void OnTransferTick();

    // "RAM-Inhalt Gesamt" and "EPROM-Inhalt Gesamt".
    void ShowWholeMemory(MemoryKind kind);
    // "RAM-Inhalt speichern" and "EPROM-Inhalt speichern".
    void SaveMemoryToFile(MemoryKind kind);
    // "RAM mit Datei vergleichen": the whole RAM in binary form, held in
    // memory, compared byte for byte with a chosen image file.
    void CompareRamWithFile();

    // Ends the input hold. Bytes that came while it was on raised their
    // notification already, and a fast adapter may send nothing more: take
    // them now.
    void ReleaseInput();

private:
    void FileReadTick();
    void ViewReadTick();
    // Size check and verification of the closed transfer file.
    void CompleteFileRead();
    void CompleteComparison();
    // "d0000", the counters and the start command of a binary read.
    void StartBinaryStream(MemoryKind kind);
    void VerifyTransfer(uint64_t fileSize, uint16_t fileSum);
    // The checksum of the whole memory; the same command once more when the
    // first answer differs from the file's.
    void VerifyMemoryChecksum(const std::string& fileSum);
    // An exchange of the verification found the port closed: the file was
    // not checked, which is not a checksum error.
    bool ReportVerificationLost();
    void ShowBox(const std::string& text, MessageIcon icon);
    Control& ViewOf(ConnState state);
    void ShowProgress();
    void HideProgress();

    Host& host_;
    MainForm& form_;
    CommandExchange& link_;
    Connection& conn_;
    TransferContext& transfer_;
};

}  // namespace qvd
