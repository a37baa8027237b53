#pragma once
// The RAM write ("restore"): which image sizes a module takes, how the image
// is cut into blocks.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qvd {

inline constexpr size_t kRestoreBlockSize = 64;
// NSM adapters take shorter blocks once this many full ones have gone out.
inline constexpr size_t kNsmFullBlockCount = 127;
inline constexpr size_t kNsmLateBlockSize = 56;

// Sizes of the whole blocks that fit into the image, in sending order. Bytes
// past the last whole block are not covered; RestoreImageSizeAccepted refuses
// such images.
std::vector<size_t> RestoreBlockSizes(size_t imageSize, uint8_t moduleType);

// Types with a RAM image size take exactly that size; the others any
// non-empty size the blocks cover completely.
bool RestoreImageSizeAccepted(size_t size, uint8_t moduleType);

}  // namespace qvd
