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
    // A high byte at every place of an eight-byte word, amid ASCII.
    for (size_t at = 0; at < 17; ++at) {
        std::string wire(20, 'a'), text(20, 'a');
        wire[at] = '\xE4';
        text.replace(at, 1, "ä");
        EXPECT_EQ(FromWire(wire), text) << at;
        EXPECT_EQ(ToWire(text), wire) << at;
    }
}

}  // namespace
}  // namespace qvd
