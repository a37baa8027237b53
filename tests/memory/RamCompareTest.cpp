#include "core/memory/RamCompare.h"

#include <gtest/gtest.h>

namespace qvd {
namespace {

TEST(RamCompare, Texts) {
    std::string ram(65536, '\0'), file = ram;
    file[0x1235] = '\xAB';
    file[0x2000] = '\x01';
    ram[0x1235] = '\x0C';
    struct Case { uint8_t type; std::string text; };
    const Case cases[] = {
        {1, "RAM und Datei verschieden: 2 Byte abweichend, erste Abweichung bei Adresse "
            "00091A (RAM: 0C, Datei: AB)"},  // BW counts words
        {8, "RAM und Datei verschieden: 2 Byte abweichend, erste Abweichung bei Adresse "
            "001235 (RAM: 0C, Datei: AB)"},
    };
    const std::optional<RamComparison> differing = CompareRam(ram, file);
    ASSERT_TRUE(differing);
    for (const Case& c : cases) EXPECT_EQ(RamCompareText(*differing, c.type), c.text);

    const std::optional<RamComparison> same = CompareRam(ram, ram);
    ASSERT_TRUE(same);
    EXPECT_EQ(RamCompareText(*same, 1), "RAM und Datei sind gleich (65536 Byte)");
    EXPECT_FALSE(CompareRam(ram, file.substr(1)));
}

}  // namespace
}  // namespace qvd
