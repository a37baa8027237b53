#include "core/wire/StatusCodes.h"

#include <gtest/gtest.h>

namespace qvd {
namespace {

TEST(StatusCodeText, CodesAreReadAsHex) {
    // The reading rule; the rows themselves are data.
    const std::pair<std::string, std::string> rows[] = {
        {"00", "CPU: RAM / EEPROM"}, {"ff", "OK"},
        {"0a", ""}, {"1A", ""}, {"26", ""}, {"40", ""},  // read as hex, no row
        {"--", "CPU: RAM / EEPROM"}, {"", "CPU: RAM / EEPROM"},  // no hex digit: 00
        {"1-", "CPU: Watchdog"}, {"5G", "CPU: Sprungtest"},     // reading stops at the first other character
        {"FF1-0000", ""},                                       // more digits than a code: a value without row
    };
    for (const auto& [code, text] : rows) EXPECT_EQ(StatusCodeText(code), text) << code;
}

}  // namespace
}  // namespace qvd
