#include "sim/SimOptions.h"

#include <gtest/gtest.h>

namespace qvd::sim {
namespace {

TEST(SimOptions, RefusesWhatTheDeviceCouldNotSay) {
    // Every value lands at a fixed position of an answer; a wrong width would
    // shift the fields the PC reads.
    const std::vector<std::vector<std::string>> bad = {
        {"--type", "12"},   {"--type", "x"},      {"--version", "1.3"}, {"--version", "130"},
        {"--serial", "81"}, {"--serial", "08a5"}, {"--status", "F"},    {"--status", "GG"},
        {"--silent-after", "-1"}, {"--link"},     {"--baud", "9600"},   {"--link", "/tmp/dir/"},
    };
    for (const auto& args : bad) EXPECT_NE(ParseSimOptions(args).error, "") << args[0] << " " << args.back();
}

}  // namespace
}  // namespace qvd::sim
