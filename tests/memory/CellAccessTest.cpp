#include "core/memory/CellAccess.h"

#include <gtest/gtest.h>

namespace qvd {
namespace {

// Whole reads, writes and wrapped addresses go through the window in the
// session tests; here the edges of each rule.
TEST(CellAccess, FieldsAnswersAndArrowSteps) {
    EXPECT_TRUE(CellAddressValid("007fff") && CellValueValid("12ab", 1) && CellValueValid("1F", 2));
    EXPECT_FALSE(CellValueValid("001F", 2) || CellAddressValid("0000G1") || CellAddressValid("7FFF"));
    EXPECT_EQ(DecodeCellAnswer("c001FF741 A", 2).characters, "A");
    struct Case { uint8_t type; std::string address; int step; std::optional<std::string> next; };
    const Case cases[] = {
        {1, "007FFF", +1, "007FFF"}, {1, "000000", -1, "007FFF"}, {1, "009000", -1, "007FFF"},  // typed above the ceiling
        {2, "001FF7", +1, "001FF7"}, {3, "000010", -1, "00000F"}, {8, "12", +1, "000013"},
        {8, "FFFFFFFF", +1, "000000"}, {1, "00G000", +1, std::nullopt}, {8, "100000000", +1, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StepCellAddress(c.address, c.step, c.type), c.next) << int(c.type) << " " << c.address << " " << c.step;
}

TEST(CellAccess, ValueLabels) {
    struct Case { uint8_t type; std::string text; std::optional<std::string> label; };
    const Case cases[] = {
        {4, "e4fc", "\xE4\xFC"}, {1, "414", std::nullopt}, {1, "41G2", std::nullopt}, {8, "7a", "z"}, {2, "4142", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CellValueLabel(c.text, c.type), c.label) << int(c.type) << " " << c.text;
}

}  // namespace
}  // namespace qvd
