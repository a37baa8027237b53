#include "core/memory/TransferProgress.h"

namespace qvd {

TransferProgress DescribeTransfer(uint64_t done, uint64_t expected, uint32_t bytesPerSecond) {
    TransferProgress progress;
    if (expected == 0) {
        progress.text = std::to_string(done) + " Byte";
        return progress;
    }
    progress.percent = done >= expected ? 100 : static_cast<int>(done * 100 / expected);
    progress.text = std::to_string(progress.percent) + " %";
    if (bytesPerSecond == 0) return progress;
    const uint64_t seconds = done >= expected ? 0 : (expected - done) / bytesPerSecond;
    const uint64_t ss = seconds % 60;
    progress.text += "  noch " + std::to_string(seconds / 60) + ":" + (ss < 10 ? "0" : "") +
                     std::to_string(ss);
    return progress;
}

}  // namespace qvd
