#pragma once
// "RAM-Anzeige speichern" / "EPROM-Anzeige speichern": a view's lines as a
// text file.
#include "core/link/OperationContext.h"
#include "core/memory/BulkRead.h"

namespace qvd {

void SaveViewToFile(OperationContext& ctx, BusyLock& lock, MemoryKind kind);

}  // namespace qvd
