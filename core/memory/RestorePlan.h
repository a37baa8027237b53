#pragma once
// The RAM write ("restore"): which image sizes a module takes, how the image
// is cut into blocks, and reading the image file into memory.
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

inline constexpr size_t kImageFileCeiling = 512 * 1024;

enum class ImageFileError { None, CannotOpen, CannotRead, TooLarge };

struct ImageFile {
    ImageFileError error = ImageFileError::None;
    std::string bytes;  // the whole file; empty on any error
    bool ok() const { return error == ImageFileError::None; }
};

// The whole file in one read pass. A file longer than maxBytes is refused as
// TooLarge without being read.
ImageFile ReadImageFile(const std::string& path, size_t maxBytes = kImageFileCeiling);

}  // namespace qvd
