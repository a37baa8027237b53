#include "core/memory/RestorePlan.h"

#include "ScratchDir.h"

#include <gtest/gtest.h>

namespace qvd {
namespace {

// Whole images reach the module in the session tests; here the limits.
TEST(RestorePlan, ImageFileReadsWholeOrRefuses) {
    testing::ScratchDir dir;
    const ImageFile exact = ReadImageFile(dir.Write("exact.bin", std::string(100, 'x')), 100);
    EXPECT_TRUE(exact.ok());
    EXPECT_EQ(exact.bytes, std::string(100, 'x'));
    const ImageFile large = ReadImageFile(dir.Write("large.bin", std::string(101, 'x')), 100);
    EXPECT_EQ(large.error, ImageFileError::TooLarge);
    EXPECT_TRUE(large.bytes.empty());
    EXPECT_EQ(ReadImageFile(dir / "missing.bin").error, ImageFileError::CannotOpen);
    EXPECT_EQ(ReadImageFile(dir.path().string()).error, ImageFileError::CannotRead);
}

}  // namespace
}  // namespace qvd
