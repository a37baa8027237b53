// Writes the seed inputs of qvd_fuzz_session: each one plays a session with
// a chosen header and lets a policy answer every write (healthy unless told
// otherwise), then stores the header and the records the session read, so
// that the seed replays the same session. Usage: qvd_fuzz_session_seeds DIR
#include "fuzz/SessionDevice.h"
#include "fuzz/SessionHarness.h"

#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace qvd::fuzz;
namespace h = qvd::fuzz::header;

std::string Rec(RecordKind kind, uint8_t p = 0) { return std::string(1, static_cast<char>(Op(kind, p))); }
std::string Healthy(int variant = 0) { return Rec(RecordKind::Healthy, static_cast<uint8_t>(variant << 2)); }
// Record bytes; a string literal would end at the first zero byte.
std::string B(std::initializer_list<uint8_t> bytes) { return std::string(bytes.begin(), bytes.end()); }
std::string Literal(const std::string& bytes) {
    return Rec(RecordKind::Literal) + static_cast<char>(bytes.size()) + bytes;
}

// Healthy answers, but for the n-th write of a given text (counted from 0)
// the record given; image blocks are taken silently, 32 to a record (every
// module's image is a multiple of 32 blocks) or one by one.
class Policy {
public:
    bool blockRuns = true;
    std::map<std::pair<std::string, int>, std::string> at;
    std::map<int, std::string> imageAt;  // by block number over the session
    // Once `first` has been written, the next write of `second` gets the record.
    std::map<std::pair<std::string, std::string>, std::string> after;

    std::string operator()(const std::string& written, bool image) {
        if (image) {
            const auto it = imageAt.find(blocks_++);
            if (it != imageAt.end()) return it->second;
            if (blockRuns) blocks_ += 31;
            return Rec(RecordKind::Silent, blockRuns ? 31 : 0);
        }
        const int n = seen_[written]++;
        std::string record = Healthy();
        const auto it = at.find({written, n});
        if (it != at.end()) record = it->second;
        for (auto armed = armed_.begin(); armed != armed_.end(); ++armed) {
            if (armed->first == written) {
                record = armed->second;
                armed_.erase(armed);
                break;
            }
        }
        for (const auto& [trigger, rec] : after)
            if (trigger.first == written) armed_.emplace_back(trigger.second, rec);
        return record;
    }

private:
    std::map<std::string, int> seen_;
    std::vector<std::pair<std::string, std::string>> armed_;
    int blocks_ = 0;
};

struct Seed {
    const char* name;
    std::vector<std::pair<size_t, uint8_t>> header;
    Policy policy;
};

std::string HeaderOf(const Seed& seed) {
    std::string out(kHeaderSize, '\0');
    for (const auto& [at, value] : seed.header) out[at] = static_cast<char>(value);
    return out;
}

// The temporary folder's name differs from run to run.
std::string Scrubbed(std::string text) {
    for (size_t at = text.find("qvd-fuzz-"); at != std::string::npos; at = text.find("qvd-fuzz-", at + 1))
        text.replace(at + 9, 6, "XXXXXX");
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    std::vector<Seed> seeds;

    // NSM 25 (type 3), everything healthy: every success of the session.
    seeds.push_back({"nsm25-healthy",
                     {{h::kSetup, 0x20 | 0x80}, {h::kModule, 0}, {h::kPollTime, 30}, {h::kFlow, 0x10 | 0x40},
                      {h::kRangeStart, 2}, {h::kRangeLength, 2}, {h::kCellAddress + 1, 0x10}, {h::kCellValue, 0xAB},
                      {h::kSplit, 0x18 | 3}, {h::kAdp, 3}, {h::kClearErrors, 1}},
                     {}});

    // BW 2 (type 4): RAM save of 128 KiB, clock from the PC, RTC bits, the
    // EPROM split of a 1 MiB image, a full EPROM view, disconnect.
    seeds.push_back({"bw2-split",
                     {{h::kSetup, 0x20 | 0x40 | 0x80}, {h::kModule, 3}, {h::kPollTime, 12}, {h::kFlow, 0x80},
                      {h::kFullView, 1}, {h::kRangeStart, 0x81}, {h::kRangeLength, 1}, {h::kCellValue, 0x12},
                      {h::kCellValue + 1, 0x34}, {h::kRegisterBits, 0x5A}, {h::kClearErrors, 1}, {h::kSplit, 0x18}},
                     {}});

    // NSM 25.x (type 2) and what goes wrong: a spoilt stream byte, a
    // restore whose 41st block does not go out, an error code in a poll,
    // a dribbled view, a wrong cell read-back, a short acknowledgement of
    // the error clearing, the status file on a full disk.
    {
        Seed s{"nsm25x-faults",
               {{h::kSetup, 0x20}, {h::kModule, 2}, {h::kPollTime, 40}, {h::kFlow, 0x10 | 4}, {h::kStatusFile, 4},
                {h::kClockFields, 1}, {h::kClockDigits, 42}, {h::kCellValue, 0x5C}, {h::kClearErrors, 1}},
               {}};
        s.policy.at[{"r\r", 2}] = Healthy(4);  // code 25: reset
        s.policy.at[{"a\r", 0}] = Rec(RecordKind::Stream, 0) + B({0x03, 0x80, 0x09, 0x00});  // one byte spoilt
        s.policy.blockRuns = false;
        s.policy.imageAt[40] = Rec(RecordKind::Failed);
        // The view: a hex dump in 8-byte pieces at half the line rate, with
        // a pause of 2 s in the middle.
        s.policy.at[{"a\r", 1}] = Rec(RecordKind::Stream, 6) + B({0x40, 0x02, 0x23, 0x38});
        s.policy.at[{"c\r", 1}] = Healthy(1);
        s.policy.at[{"yRbWk\r", 0}] = Literal("ok\r");
        seeds.push_back(std::move(s));
    }

    // BW 1 (type 1): the adapter is unplugged at the end of the RAM stream
    // and back 2 s later; a new search finds it and the session goes on,
    // until it is pulled once more at the cell read.
    {
        Seed s{"bw1-unplug",
               {{h::kSetup, 0x20}, {h::kModule, 1}, {h::kPollTime, 20}, {h::kFlow, 0x30}, {h::kRestore, 3},
                {h::kCellValue, 0x77}},
               {}};
        s.policy.at[{"a\r", 0}] = Rec(RecordKind::Stream, 0) + B({0x10, 0xCA, 0x00});
        s.policy.at[{"c\r", 0}] = Rec(RecordKind::Unplug) + B({0x00, 0x10});
        seeds.push_back(std::move(s));
    }

    // NSM 25 with error codes in the polls: 25, then 26 while the first
    // reset waits, 25 again, then no game module (18); a new search.
    {
        Seed s{"nsm25-poll-errors",
               {{h::kSetup, 0x20}, {h::kModule, 0}, {h::kPollTime, 90}, {h::kFlow, 0x20}, {h::kAdp, 1}},
               {}};
        s.policy.at[{"r\r", 1}] = Healthy(4);
        s.policy.at[{"r\r", 2}] = Healthy(5);
        s.policy.at[{"r\r", 3}] = Healthy(4);
        s.policy.at[{"r\r", 5}] = Healthy(6);
        s.policy.at[{"w0001\r", 1}] = Rec(RecordKind::Healthy, 1) + B({0x40});  // late acknowledgement
        seeds.push_back(std::move(s));
    }

    // Ports and dialogs: the adapter at COM3 behind a silent COM1, a busy
    // COM2 and a refusing COM4; the tick counter wraps during the session;
    // boxes take the user 1.5 s; the files chosen are missing folders, full
    // disks, folders, or the question is answered No.
    seeds.push_back({"ports-and-dialogs",
                     {{h::kSetup, 2 | 4 | 0x10}, {h::kModule, 0}, {h::kPorts1to4, 0xC9}, {h::kPollTime, 15},
                      {h::kRamSave, 5}, {h::kEpromSave, 0x18 | 4}, {h::kRestore, 3}, {h::kFullView, 4 << 1},
                      {h::kStatusFile, 6}, {h::kSplit, 0x18 | 5}, {h::kCellFlags, 3}, {h::kRangeFlags, 1}},
                     {}});

    // An adapter too old for the memory checksum (its version reads 1.05),
    // a RAM and an EPROM save of an NSM 25, the status answer after the
    // RAM stream late and in pieces.
    {
        Seed s{"nsm25-old-adapter",
               {{h::kModule, 0}, {h::kPollTime, 5}, {h::kEpromSave, 0x18}, {h::kFlow, 0x40}},
               {}};
        s.policy.at[{"i\r", 0}] = Healthy(5);
        s.policy.after[{"a\r", "r\r"}] = Rec(RecordKind::Healthy, 3) + B({0x13});
        seeds.push_back(std::move(s));
    }

    // The adp module reported straight away (type 8): clock read and set in
    // its layout; memory without sizes to check (a 256-byte image).
    {
        Seed s{"adp-module",
               {{h::kSetup, 0x20}, {h::kModule, 6}, {h::kPollTime, 10}, {h::kClockFields, 0}, {h::kFlow, 0x40}},
               {}};
        s.policy.blockRuns = false;
        seeds.push_back(std::move(s));
    }

    int failures = 0;
    for (Seed& seed : seeds) {
        const std::string head = HeaderOf(seed);
        Policy& policy = seed.policy;
        std::string recorded, replayed;
        const std::string input = PlaySession(reinterpret_cast<const uint8_t*>(head.data()), head.size(),
                                              [&policy](const std::string& w, bool image) { return policy(w, image); },
                                              &recorded);
        // The seed must replay the session it was recorded from.
        PlaySession(reinterpret_cast<const uint8_t*>(input.data()), input.size(), nullptr, &replayed);
        if (Scrubbed(replayed) != Scrubbed(recorded)) {
            std::fprintf(stderr, "%s does not replay its session\n", seed.name);
            ++failures;
            continue;
        }
        const std::string path = std::string(argv[1]) + "/" + seed.name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(input.data(), static_cast<std::streamsize>(input.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            ++failures;
            continue;
        }
        std::printf("%-20s %5zu bytes\n", seed.name, input.size());
    }
    return failures ? 1 : 0;
}
