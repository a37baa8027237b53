#include "sim/SimOptions.h"

#include <gtest/gtest.h>

namespace qvd::sim {
namespace {

TEST(SimOptions, ReadsEveryOption) {
    const ParsedOptions p = ParseSimOptions({"--link", "/tmp/p/COM3", "--type", "5", "--version", "1.10", "--serial",
                                             "4711", "--status", "0c", "--silent-after", "3", "--fast", "--verbose"});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.options.link, "/tmp/p/COM3");
    EXPECT_EQ(p.options.config.moduleType, 5);
    EXPECT_EQ(p.options.config.version, "1.10");
    EXPECT_EQ(p.options.config.serial, "4711");
    EXPECT_EQ(p.options.config.statusCode, "0C");
    EXPECT_EQ(p.options.silentAfterPolls, 3);
    EXPECT_TRUE(p.options.fast);
    EXPECT_TRUE(p.options.verbose);
}

TEST(SimOptions, RefusesWhatTheDeviceCouldNotSay) {
    // Every value lands at a fixed position of an answer; a wrong width would
    // shift the fields the PC reads.
    const std::vector<std::vector<std::string>> bad = {
        {"--type", "12"},        {"--type", "x"},        {"--version", "1.3"}, {"--version", "130"},
        {"--serial", "81"},      {"--serial", "08a5"},   {"--status", "F"},    {"--status", "GG"},
        {"--silent-after", "-1"}, {"--link"},            {"--baud", "9600"},   {"--link", "/tmp/dir/"},
    };
    for (const auto& args : bad) EXPECT_NE(ParseSimOptions(args).error, "") << args[0] << " " << args.back();
}

}  // namespace
}  // namespace qvd::sim
