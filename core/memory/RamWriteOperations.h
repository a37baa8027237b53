#pragma once
// Writing an image file back into the module's RAM ("RAM-Inhalt laden"), and
// clearing the RAM ("RAM löschen"). Both replace what the module holds, so
// both ask first.
#include "core/link/OperationContext.h"

namespace qvd {

void RestoreRamFromFile(OperationContext& ctx, BusyLock& lock);
void ClearRam(OperationContext& ctx, BusyLock& lock);

}  // namespace qvd
