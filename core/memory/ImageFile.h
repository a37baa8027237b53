#pragma once
// Reading an image file (RAM restore, comparison) into memory in one pass.
#include <cstddef>
#include <string>

namespace qvd {

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
