#pragma once
// The progress bar beside the status panels, shown while a transfer runs.
#include "core/form/Control.h"
#include "core/memory/TransferProgress.h"

#include <cstdint>

namespace qvd {

inline void ShowTransferProgress(Control& bar, uint64_t done, uint64_t expected) {
    const TransferProgress p = DescribeTransfer(done, expected);
    bar.SetPosition(p.percent);
    bar.SetCaption(p.text);
    bar.SetVisible(true);
}

}  // namespace qvd
