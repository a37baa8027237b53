#include "core/wire/Text.h"

#include <gtest/gtest.h>

namespace qvd {
namespace {

TEST(WireText, RoundTripsEveryByteAndKnownCharacters) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(ToWire(FromWire(all)), all);
    struct Case { std::string wire, text; };
    const Case cases[] = {
        {"\xDF", "ß"}, {"\x80", "€"}, {"\x92", "’"},
        {"\x81", "\xC2\x81"},  // undefined in Windows-1252: kept as U+0081
        {"?", "日"}, {"?", "\xC3"},  // no Windows-1252 byte, a cut sequence
    };
    for (const Case& c : cases) {
        if (c.wire != "?") {
            EXPECT_EQ(FromWire(c.wire), c.text);
        }
        EXPECT_EQ(ToWire(c.text), c.wire);
    }
}

}  // namespace
}  // namespace qvd
