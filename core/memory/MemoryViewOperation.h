#pragma once
// The view reads: "RAM-Inhalt Gesamt" / "EPROM-Inhalt Gesamt" (the whole
// memory) and "RAM-Inhalt Teilbereich" / "EPROM-Inhalt Teilbereich" (the
// range of the two range fields), streamed in text form into the view.
#include "core/memory/BulkRead.h"
#include "core/memory/MemoryView.h"

#include <optional>
#include <string>

namespace qvd {

class MemoryViewOperation : public BulkRead {
public:
    enum class Extent { Whole, Range };
    MemoryViewOperation(OperationContext& ctx, MemoryKind kind, Extent extent)
        : BulkRead(ctx), kind_(kind), extent_(extent) {}

    void Start(BusyLock& lock) override;

private:
    void StartWhole(BusyLock& lock);
    void StartRange(BusyLock& lock);
    void Take(const std::string& chunk) override;
    void End(BusyLock& lock) override;
    Control& View();
    // Cells of the whole memory by the module's profile; 0 when unknown.
    uint64_t MemoryCells() const;

    const MemoryKind kind_;
    const Extent extent_;
    ViewLineCutter lines_;  // text not yet cut into lines
    std::optional<DumpCheck> check_;
};

}  // namespace qvd
