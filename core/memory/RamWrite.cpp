#include "core/memory/RamWrite.h"

#include "core/wire/ModuleProfile.h"

namespace qvd {

std::vector<size_t> RestoreBlockSizes(size_t imageSize, uint8_t moduleType) {
    const bool nsm = IsNsm(moduleType);
    std::vector<size_t> sizes;
    size_t covered = 0;
    for (;;) {
        const size_t next =
            nsm && sizes.size() >= kNsmFullBlockCount ? kNsmLateBlockSize : kRestoreBlockSize;
        if (imageSize - covered < next) break;
        sizes.push_back(next);
        covered += next;
    }
    return sizes;
}

bool RestoreImageSizeAccepted(size_t size, uint8_t moduleType) {
    const ModuleProfile* profile = FindProfile(moduleType);
    if (profile && profile->ramImageSize != 0) return size == profile->ramImageSize;
    if (size == 0) return false;
    size_t covered = 0;
    for (size_t block : RestoreBlockSizes(size, moduleType)) covered += block;
    return covered == size;
}

}  // namespace qvd
