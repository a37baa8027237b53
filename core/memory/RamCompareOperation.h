#pragma once
// "RAM mit Datei vergleichen": the whole RAM in binary form, held in memory
// instead of written, compared byte for byte with a chosen image file.
#include "core/memory/BulkRead.h"
#include "core/memory/MemoryVerification.h"

#include <string>

namespace qvd {

class RamCompareOperation : public BulkRead {
public:
    explicit RamCompareOperation(OperationContext& ctx) : BulkRead(ctx), verification_(ctx) {}

    void Start(BusyLock& lock) override;

private:
    void Take(const std::string& chunk) override;
    void End(BusyLock& lock) override;
    void Compare();

    MemoryVerification verification_;
    std::string file_;  // the file's bytes
    std::string ram_;   // what came, up to the largest RAM
};

}  // namespace qvd
