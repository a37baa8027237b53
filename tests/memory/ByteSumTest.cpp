#include "core/memory/ByteSum.h"
#include "core/memory/RestorePlan.h"

#include "testkit/ScratchDir.h"

#include <gtest/gtest.h>

namespace qvd {
namespace {

TEST(ByteSum, ImagesInMemoryAndOnDisk) {
    struct Case { std::string bytes; uint16_t sum; };
    const Case cases[] = {
        {std::string(8184, '\xFF'), 0xD808},  // bytes count 0..255, not as signed char
        {std::string(65537, '\x01'), 0x0001},
        // Several read blocks and a rest, each counted (blocks of one value alone sum to 0).
        {[] { std::string s((1 << 20) + 3, '\x11'); s[0] = '\x12'; return s; }(),
         static_cast<uint16_t>(((1u << 20) + 3) * 0x11 + 1)},
    };
    test::ScratchDir dir;
    for (const Case& c : cases) {
        EXPECT_EQ(ByteSum(c.bytes), c.sum) << c.bytes.size();
        const std::optional<FileSum> file = SumFile(dir.Write("image.bin", c.bytes));
        ASSERT_TRUE(file);
        EXPECT_EQ(file->size, c.bytes.size());
        EXPECT_EQ(file->sum, c.sum);
    }
    EXPECT_FALSE(SumFile(dir.path().string()));  // a directory opens but does not read
}

// Whole images reach the module in the session tests; here the limits.
TEST(RestorePlan, ImageFileReadsWholeOrRefuses) {
    test::ScratchDir dir;
    EXPECT_EQ(ReadImageFile(dir.Write("exact.bin", std::string(100, 'x')), 100).bytes, std::string(100, 'x'));
    const ImageFile large = ReadImageFile(dir.Write("large.bin", std::string(101, 'x')), 100);
    EXPECT_EQ(large.error, ImageFileError::TooLarge);
    EXPECT_TRUE(large.bytes.empty());
    EXPECT_EQ(ReadImageFile(dir / "missing.bin").error, ImageFileError::CannotOpen);
    EXPECT_EQ(ReadImageFile(dir.path().string()).error, ImageFileError::CannotRead);
}

}  // namespace
}  // namespace qvd
