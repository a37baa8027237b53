#include "core/memory/ImageFile.h"
#include "core/memory/RamWrite.h"

#include "testkit/ScratchDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace qvd {
namespace {

using test::ReadFile;
using test::ScratchDir;

// Whole images reach the module in the session tests; here the limits.
TEST(RestorePlan, ImageFileReadsWholeOrRefuses) {
    ScratchDir dir;
    EXPECT_EQ(ReadImageFile(dir.Write("exact.bin", std::string(100, 'x')), 100).bytes, std::string(100, 'x'));
    const ImageFile large = ReadImageFile(dir.Write("large.bin", std::string(101, 'x')), 100);
    EXPECT_EQ(large.error, ImageFileError::TooLarge);
    EXPECT_TRUE(large.bytes.empty());
    EXPECT_EQ(ReadImageFile(dir / "missing.bin").error, ImageFileError::CannotOpen);
    // Nothing but a regular file is an image; a FIFO must not hold the window
    // waiting for a writer.
    const std::string fifo = (dir / "fifo").c_str();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& special : {dir.path().string(), fifo, std::string("/dev/null")})
        EXPECT_EQ(ReadImageFile(special).error, ImageFileError::CannotOpen) << special;
}

}  // namespace
}  // namespace qvd
