#include "core/memory/ByteSum.h"

#include "ScratchDir.h"

#include <gtest/gtest.h>

namespace qvd {
namespace {

TEST(ByteSum, KnownImages) {
    struct Case { std::string bytes; uint16_t sum; };
    const Case cases[] = {
        {"", 0x0000},
        {std::string(8184, '\xFF'), 0xD808},  // bytes count 0..255, not as signed char
        {std::string(65536, '\x5A'), 0x0000},
        {std::string(65537, '\x01'), 0x0001},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ByteSum(c.bytes), c.sum) << c.bytes.size();
        testing::ScratchDir dir;
        const std::optional<FileSum> file = SumFile(dir.Write("image.bin", c.bytes));
        ASSERT_TRUE(file);
        EXPECT_EQ(file->size, c.bytes.size());
        EXPECT_EQ(file->sum, c.sum);
    }
}

TEST(ByteSum, PiecesSumLikeTheWhole) {
    std::string image;
    for (int i = 0; i < 300000; ++i) image += static_cast<char>(i * 7);
    ByteSummer summer;
    for (size_t at = 0; at < image.size(); at += 1000) summer.Add(std::string_view(image).substr(at, 1000));
    EXPECT_EQ(summer.Value(), ByteSum(image));
}

TEST(ByteSum, UnreadableFilesGiveNothing) {
    testing::ScratchDir dir;
    EXPECT_FALSE(SumFile(dir / "missing.bin"));
    EXPECT_FALSE(SumFile(dir.path().string()));  // a directory opens but does not read
}

TEST(ByteSum, FileSumCoversBlocksAndTheirRest) {
    testing::ScratchDir dir;
    // More than one read block, and a rest: every byte must be counted once.
    const std::string file = dir.Write("big.bin", std::string((1 << 20) + 3, '\x11'));
    const std::optional<FileSum> sum = SumFile(file);
    ASSERT_TRUE(sum);
    EXPECT_EQ(sum->size, (1u << 20) + 3);
    EXPECT_EQ(sum->sum, static_cast<uint16_t>(((1u << 20) + 3) * 0x11));
}

}  // namespace
}  // namespace qvd
