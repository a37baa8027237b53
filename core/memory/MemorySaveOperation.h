#pragma once
// "RAM-Inhalt speichern" and "EPROM-Inhalt speichern": the binary stream
// into the chosen file, then the checks of size and checksums. One operation
// from the click to the verification's last message.
#include "core/memory/BulkRead.h"
#include "core/memory/MemoryVerification.h"

#include <cstdio>
#include <string>

namespace qvd {

class MemorySaveOperation : public BulkRead {
public:
    MemorySaveOperation(OperationContext& ctx, MemoryKind kind) : BulkRead(ctx), kind_(kind), verification_(ctx) {}
    ~MemorySaveOperation() override;

    void Start(BusyLock& lock) override;

private:
    void Take(const std::string& chunk) override;
    void End(BusyLock& lock) override;
    // Size check and verification of the closed file.
    void CompleteFile();

    const MemoryKind kind_;
    MemoryVerification verification_;
    std::string fileName_;       // the file system's UTF-8
    std::FILE* file_ = nullptr;  // open from the start to the completion
    // A write to the file failed (disk full): reported once at completion,
    // and the file is never called verified.
    bool writeFailed_ = false;
};

}  // namespace qvd
