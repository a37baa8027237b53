#include "sim/PortLink.h"
#include "sim/SimOptions.h"
#include "testkit/ScratchDir.h"

#include <gtest/gtest.h>

namespace qvd::sim {
namespace {

TEST(SimOptions, AcceptsWhatTheDeviceCanSayAndRefusesTheRest) {
    // Every value lands at a fixed position of an answer; a wrong width would
    // shift the fields the PC reads. Each refused row has an accepted
    // neighbour, so a parser that refuses everything fails too.
    const std::vector<std::pair<std::vector<std::string>, bool>> rows = {
        {{"--type", "5"}, true},         {{"--type", "12"}, false},       {{"--type", "x"}, false},
        {{"--version", "1.30"}, true},   {{"--version", "1.3"}, false},   {{"--version", "130"}, false},
        {{"--version"}, true},           {{"--version", "--fast"}, true},  // the program's version
        {{"--serial", "07Q3"}, true},    {{"--serial", "81"}, false},     {{"--serial", "08a5"}, false},
        {{"--status", "FF"}, true},      {{"--status", "F"}, false},      {{"--status", "GG"}, false},
        {{"--silent-after", "3"}, true}, {{"--silent-after", "-1"}, false},
        {{"--link", "/tmp/qvd/COM1"}, true}, {{"--link"}, false},         {{"--link", "/tmp/dir/"}, false},
        {{"--facts"}, true},             {{"--baud", "9600"}, false},
        {{"--stream-pause", "100:2000"}, true}, {{"--stream-pause", "100"}, false},
        {{"--stream-pause", "100:"}, false},    {{"--stream-cut", "x"}, false},
        {{"--wrong-ram-checksum", "once"}, true}, {{"--wrong-ram-checksum", "sometimes"}, false},
        {{"--vanish-after-image", "5"}, true},    {{"--vanish-after-image", "-5"}, false},
        {{"--lose-polls", "2:3"}, true}, {{"--lose-polls", "0:3"}, false}, {{"--spoil-poll", "2:long"}, true}, {{"--spoil-poll", "2:late"}, false},
        {{"--stream-cut", "10", "--stream-corrupt", "20"}, false},  // one stream fault at a time
    };
    for (const auto& [args, ok] : rows)
        EXPECT_EQ(ParseSimOptions(args).error.empty(), ok) << args[0] << " " << args.back();
}

// The end-to-end fault suite uses the other faults; these must reach the
// device all the same. The times of a stream fault apply in either order.
TEST(SimOptions, FaultsTheEndToEndSuiteDoesNotUseReachTheDevice) {
    const ParsedOptions parsed = ParseSimOptions({"--stream-fault-times", "2", "--stream-cut", "100", "--wrong-ram-checksum",
                                                  "always", "--wrong-eprom-checksum", "twice", "--silent-after", "3",
                                                  "--status", "0c"});
    ASSERT_EQ(parsed.error, "");
    const DeviceFaults& f = parsed.options.faults;
    EXPECT_TRUE(f.stream.kind == StreamFault::Kind::Cut && f.stream.at == 100 && f.stream.streams == 2);
    EXPECT_EQ(std::tuple(f.wrongRamChecksums, f.wrongEpromChecksums, f.answerPollsThenSilent), std::tuple(-1, 2, 3));
    EXPECT_EQ(parsed.options.config.statusCode, "0C");  // as the module sends it
}

TEST(SimOptions, ImageFilesMustHaveTheTypesSize) {
    test::ScratchDir dir;
    struct Case { const char* type; size_t bytes; bool ok; };
    for (const Case& c : {Case{"2", 8184, true}, Case{"2", 8183, false}, Case{"4", 65536, false}}) {
        ParsedOptions parsed = ParseSimOptions({"--type", c.type, "--ram", dir.Write("ram.bin", std::string(c.bytes, 'Z'))});
        EXPECT_EQ(LoadImages(parsed.options).empty(), c.ok) << c.type << " " << c.bytes;
    }
}

// A killed run leaves its link behind; the next replaces it. Anything else
// at that path is not the simulator's to remove.
TEST(PortLink, ReplacesAStaleLinkLeavesAFileAloneWithdrawsOnlyItsOwn) {
    namespace fs = std::filesystem;
    test::ScratchDir dir;
    const std::string link = dir / "ports/COM1";  // the folder does not exist yet
    PublishLink(link, "/dev/pts/no-such-terminal");  // left by a killed run
    PublishLink(link, "/dev/pts/7");
    EXPECT_EQ(fs::read_symlink(link), "/dev/pts/7");
    WithdrawLink(link, "/dev/pts/8");  // another run's
    EXPECT_TRUE(fs::is_symlink(link));
    WithdrawLink(link, "/dev/pts/7");
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));

    test::WriteFile(link, "not a link");
    EXPECT_THROW(PublishLink(link, "/dev/pts/7"), std::runtime_error);
    EXPECT_EQ(test::ReadFile(link), "not a link");  // kept
}

}  // namespace
}  // namespace qvd::sim
