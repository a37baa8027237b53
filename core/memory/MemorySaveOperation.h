#pragma once
// "RAM-Inhalt speichern" and "EPROM-Inhalt speichern": the binary stream
// into the chosen file, then the checks of size and checksums. One operation
// from the click to the verification's last message.
#include "core/memory/BulkRead.h"
#include "core/files/SaveFile.h"
#include "core/memory/MemoryVerification.h"

#include <optional>
#include <string>

namespace qvd {

class MemorySaveOperation : public BulkRead {
public:
    MemorySaveOperation(OperationContext& ctx, MemoryKind kind);

    void Start(BusyLock& lock) override;

private:
    void Take(const std::string& chunk) override;
    void End(BusyLock& lock) override;
    // Nothing that looks like a backup stays of a save stopped early.
    void Discard() override;
    // Size check and verification of the file; only a verified file takes
    // the place of the one chosen.
    void CompleteFile();
    // Logs a failure and shows its box, the file that arrived put aside.
    void Fail(Outcome outcome, const std::string& logLine, const std::string& box, MessageIcon icon);
    // Puts what arrived aside (an existing file stays as it was); the end of
    // the failure's box that names where it lies, empty when there is
    // nothing to say.
    std::string PutAside();

    const MemoryKind kind_;
    MemoryVerification verification_;
    std::string fileName_;           // the file system's UTF-8
    std::optional<SaveFile> file_;   // open from the start to the completion
    // A write to the file failed (disk full): reported once at completion,
    // and the file is never called verified.
    bool writeFailed_ = false;
};

}  // namespace qvd
