#include "core/memory/RestorePlan.h"

#include "ScratchDir.h"

#include <gtest/gtest.h>

namespace qvd {
namespace {

TEST(RestorePlan, BlocksOfEachType) {
    struct Case { uint8_t type; size_t size; size_t blocks64, blocks56; };
    const Case cases[] = {
        {2, 8184, 127, 1}, {3, 8184, 127, 1},
        {3, 127 * 64 + 56 * 3, 127, 3},
        {3, 100 * 64, 100, 0},  // short of the switch
        {1, 65536, 1024, 0},
        {8, 128 * 64, 128, 0},  // only NSM switches
        {8, 100, 1, 0},              // the piece past the last block is not a block
    };
    for (const Case& c : cases) {
        const std::vector<size_t> sizes = RestoreBlockSizes(c.size, c.type);
        ASSERT_EQ(sizes.size(), c.blocks64 + c.blocks56) << int(c.type) << " " << c.size;
        for (size_t i = 0; i < sizes.size(); ++i)
            EXPECT_EQ(sizes[i], i < c.blocks64 ? 64u : 56u) << i;
    }
}

TEST(RestorePlan, AcceptedSizes) {
    struct Case { uint8_t type; size_t size; bool accepted; };
    const Case cases[] = {
        {1, 65536, true}, {1, 65535, false}, {1, 65600, false},
        {2, 8184, true}, {2, 8192, false},
        {8, 0, false}, {8, 100, false}, {8, 128, true}, {8, 8184, false},
        {0, 64, true}, {0, 65, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RestoreImageSizeAccepted(c.size, c.type), c.accepted)
            << int(c.type) << " " << c.size;
}

TEST(RestorePlan, ImageFileReadsWholeOrRefuses) {
    testing::ScratchDir dir;
    const std::string image(8184, '\x42');
    const ImageFile read = ReadImageFile(dir.Write("ram.bin", image));
    EXPECT_TRUE(read.ok());
    EXPECT_EQ(read.bytes, image);

    const ImageFile exact = ReadImageFile(dir.Write("exact.bin", std::string(100, 'x')), 100);
    EXPECT_TRUE(exact.ok());
    const ImageFile large = ReadImageFile(dir.Write("large.bin", std::string(101, 'x')), 100);
    EXPECT_EQ(large.error, ImageFileError::TooLarge);
    EXPECT_TRUE(large.bytes.empty());

    EXPECT_EQ(ReadImageFile(dir / "missing.bin").error, ImageFileError::CannotOpen);
    EXPECT_EQ(ReadImageFile(dir.path().string()).error, ImageFileError::CannotRead);
}

}  // namespace
}  // namespace qvd
