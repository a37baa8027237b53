#include "core/memory/CellAccess.h"

#include <gtest/gtest.h>

namespace qvd {
namespace {

TEST(CellAccess, FieldValidation) {
    struct Case { uint8_t type; std::string address, value; bool addressOk, valueOk; };
    const Case cases[] = {
        {1, "007FFF", "12AB", true, true},
        {1, "007fff", "12ab", true, true},
        {1, "000000", "12", true, false},    // BW cells are words
        {2, "001FF7", "1F", true, true},
        {2, "001FF7", "001F", true, false},
        {8, "0000G1", "G1", false, false},   // six characters, not six digits
        {1, "7FFF", "12A", false, false},
        {1, "0007FFF", "12ABC", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CellAddressValid(c.address), c.addressOk) << c.address;
        EXPECT_EQ(CellValueValid(c.value, c.type), c.valueOk) << int(c.type) << " " << c.value;
    }
}

TEST(CellAccess, ReadAnswerAndReadBack) {
    struct Case { uint8_t type; std::string answer, value, characters, field; bool matches; };
    const Case cases[] = {
        {1, "c007FFF4142 AB", "4142", "AB", "4142", true},
        {1, "c007FFF4142 AB", "4142", "AB", "4143", false},
        {1, "c007FFF4142 AB", "4142", "AB", "41", false},    // only a prefix
        {1, "c007FFF41", "41", "", "4142", false},           // cut answer
        {2, "c001FF741 A", "41", "A", "41", true},
        {2, "c001FF7ab \xE4", "ab", "\xE4", "AB", false},    // exact, case counts
    };
    for (const Case& c : cases) {
        const CellReading reading = DecodeCellAnswer(c.answer, c.type);
        EXPECT_EQ(reading.value, c.value) << c.answer;
        EXPECT_EQ(reading.characters, c.characters) << c.answer;
        EXPECT_EQ(CellReadBackMatches(c.answer, c.field, c.type), c.matches) << c.answer << " " << c.field;
    }
}

TEST(CellAccess, ArrowSteps) {
    struct Case { uint8_t type; std::string address; int step; std::optional<std::string> next; };
    const Case cases[] = {
        {1, "007FFF", +1, "007FFF"}, {1, "000000", -1, "007FFF"}, {1, "007ffe", +1, "007FFF"},
        {1, "009000", -1, "007FFF"},  // typed above the ceiling
        {2, "001FF7", +1, "001FF7"}, {2, "000010", +1, "000011"}, {3, "000010", -1, "00000F"},
        {8, "000000", -1, "FFFFFFFF"}, {8, "FFFFFFFF", +1, "000000"}, {8, "12", +1, "000013"},
        {0, "000000", -1, "FFFFFFFF"},
        {1, "", +1, std::nullopt}, {1, "00G000", +1, std::nullopt},
        {8, "100000000", +1, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StepCellAddress(c.address, c.step, c.type), c.next)
            << int(c.type) << " " << c.address << " " << c.step;
}

TEST(CellAccess, ValueLabels) {
    struct Case { uint8_t type; std::string text; std::optional<std::string> label; };
    const Case cases[] = {
        {1, "4142", "AB"}, {4, "e4fc", "\xE4\xFC"}, {1, "414", std::nullopt},
        {1, "41", std::nullopt}, {1, "41G2", std::nullopt},
        {2, "41", "A"}, {8, "7a", "z"}, {2, "4142", std::nullopt}, {2, "", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CellValueLabel(c.text, c.type), c.label) << int(c.type) << " " << c.text;
    EXPECT_EQ(CellValueFieldText("e4fc"), "E4FC");
}

}  // namespace
}  // namespace qvd
