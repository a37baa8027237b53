#pragma once
// The virtual QVD module: one device model for the tests (on virtual time)
// and for qvd-sim (real time on a pseudo-terminal). It takes the bytes the PC
// sends and answers through `send`; pacing on the line is the link's job.
#include "sim/AdapterFacts.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qvd::sim {

struct DeviceConfig {
    uint8_t moduleType = 1;
    std::string version = "1.30";        // four characters at positions 13-16 of "i"
    std::string serial = "0815";         // serial-number ending, last four characters
    std::string statusCode = "FF";       // two characters at positions 1-2 of "r"
    std::string checksum = "0000";       // positions 5-8 of "r"
    std::string errorMemory = std::string(80, '0');  // answer to "x"
    std::string errorMemory1A = std::string(12, '0');  // answer to "X"
    std::string counters = "000012000003000045000006000078";  // answer to "s"
    // The clock at device start (local time), running from there.
    int year = 7, month = 6, day = 24, hour = 12, minute = 0, second = 0, weekday = 7;

    // The module's memory as raw bytes (word cells high byte first). Empty:
    // a marker pattern of the type's size; an image of another size is cut
    // or padded with zeros to it. The device keeps its memory here, so after
    // a RAM write `ram` holds what the module now holds.
    std::string ram, eprom;
    // Each memory made on its first use instead of at the start, so that a
    // session that never reads the EPROM does not pay for a megabyte of it.
    bool memoryOnDemand = false;
    // A hex dump ends after this many cells (0: the whole range). A dump
    // carries no length, so a fuzzed session learns all from its first
    // lines and need not wait for megabytes of text.
    size_t dumpCellLimit = 0;
    // Sizes for the types that have none of their own (0 none, 8 adp).
    size_t fallbackRamBytes = 8184, fallbackEpromBytes = 262144;
    // The module computes a memory checksum for a while before it answers;
    // the PC waits at least 4500 ms. The clear is acknowledged at once by
    // default, the PC waits for it to finish afterwards.
    uint32_t ramChecksumDelayMs = 2000;    // "g0010"
    uint32_t epromChecksumDelayMs = 3000;  // "g0020"
    uint32_t ramClearDelayMs = 0;          // "g0001"
};

// The module type a config names, its fallback sizes filled in.
ModuleFacts MemoryOf(const DeviceConfig& config);

// A fault on the wire of memory streams ("a", "h", "b", "j", either output
// form). It hits the next stream that has more than `at` bytes.
struct StreamFault {
    enum class Kind {
        None,
        Cut,      // bytes from `at` on never come
        Pause,    // the line falls quiet for pauseMs before byte `at`, then the rest
        Corrupt,  // byte `at` goes out XOR 0xFF; the memory and the "r" checksum stay true
        Vanish,   // the device vanishes once `at` bytes are through
    };
    Kind kind = Kind::None;
    size_t at = 0;
    uint32_t pauseMs = 0;
    int streams = 1;  // streams it hits before it is spent; 0: every one
};

struct DeviceFaults {
    // Answer this command (its full text without CR) one byte short or long.
    std::map<std::string, int> lengthDelta;
    // Answer nothing at all (unplugged, switched off).
    bool silent = false;
    // Answer the first N "r" polls, then stay silent to "r".
    std::optional<int> answerPollsThenSilent;
    // Polls (counted from 1) lostPollsFrom .. lostPollsFrom + lostPolls - 1
    // are lost on the way: unanswered, and recorded as "r (verloren)".
    int lostPollsFrom = 0, lostPolls = 0;
    // The answer to a poll (counted from 1) goes out spoilt: prefix first,
    // then the answer one byte short (delta -1, its CR lost) or long (+1).
    struct SpoiltAnswer {
        std::string prefix;
        int delta = 0;
    };
    std::map<int, SpoiltAnswer> spoiltPolls;
    // Bytes sent before the echo of the probe byte.
    std::string garbageBeforeEcho;
    // Bytes sent after the echo of the probe byte.
    std::string extraAfterEcho;
    // Status codes for the coming "r" polls, one per poll, then config.statusCode.
    std::vector<std::string> statusSequence;
    // Whole answer texts that replace the answer to a command once.
    std::map<std::string, std::string> replaceOnce;
    // Commands (their full text without CR) lost on the way once: no effect,
    // no answer, recorded with " (verloren)".
    std::multiset<std::string> loseOnce;
    // "w0001" is not acknowledged.
    bool refuseErrorReset = false;
    // The clock chip is unreadable: clock blocks carry the invalid marker.
    bool clockUnreadable = false;

    StreamFault stream;
    // The device vanishes when this many bytes of a RAM image have arrived.
    std::optional<size_t> vanishAfterImageBytes;
    // The next N answers to "g0010" / "g0020" carry a wrong checksum, each
    // unlike the one before; -1: every answer, always the same wrong value.
    int wrongRamChecksums = 0, wrongEpromChecksums = 0;
};

class QvdDevice {
public:
    using Send = std::function<void(std::string bytes)>;  // by value: a stream can be handed on, not copied
    using Clock = std::function<uint64_t()>;  // milliseconds, monotonic
    using Schedule = std::function<void(uint32_t ms, std::function<void()> fn)>;

    QvdDevice(DeviceConfig config, Clock clock);

    // Bytes from the PC.
    void Receive(const std::string& bytes);

    // What the link does for the device (each may be unset):
    // bytes onto the line, after those sent before;
    Send send;
    // the line stays quiet for ms after the bytes sent so far (or from now);
    std::function<void(uint32_t ms)> sendGap;
    // the device is gone once the bytes sent so far are through: the port
    // fails as an unplugged USB adapter's does;
    std::function<void()> vanish;
    // runs fn after ms (the device notices a stalled RAM write on time; without
    // it, when the next bytes come).
    Schedule schedule;
    // Called for a command the model does not know (qvd-sim prints it).
    std::function<void(const std::string& command)> onUnknownCommand;
    // An empty string with room for a binary stream of that many bytes, so a
    // caller that plays thousands of sessions can hand out buffers it keeps.
    std::function<std::string(size_t bytes)> streamRoom;

    DeviceConfig config;
    DeviceFaults faults;
    // config.ram or config.eprom, fitted to the type's size (see DeviceConfig).
    std::string& Memory(bool eprom);

    // What the PC sent: each command line without CR, and raw bytes as
    // "<DF>" / "<F6>".
    std::vector<std::string> received;
    int polls = 0;

    // The clock as it stands now (BCD fields as two-digit strings).
    struct ClockNow { int year, month, day, hour, minute, second, weekday; };
    ClockNow ReadClock() const;
    void SetClock(const ClockNow& c);

    // Clock registers.
    uint8_t rtcCF = 0x4, rtcCE = 0x0, rtcCD = 0x0;  // 24h set
    uint8_t tkControl = 0x00, tkDay = 0x01;  // Timekeeper control byte, day byte flags
    bool tkStop = false;
    int adpExtra = 0;
    bool adpMode = false;  // switched to the adp module with "a0001"
    bool textForm = false;  // memory output as a hex dump ("d0001") instead of raw bytes
    bool vanished = false;  // answers nothing and takes nothing any more

    // The latest RAM image the PC sent ("n"): its bytes so far, and each
    // batch as it came (device ms, bytes), to check the PC's pacing.
    struct Arrival { uint64_t atMs; size_t bytes; };
    size_t imageBytes = 0;
    std::vector<Arrival> imageArrivals;

private:
    void HandleCommand(const std::string& command);
    std::optional<std::string> Answer(const std::string& command);
    std::string ClockBlock(int layout) const;  // 1 RTC, 2 Timekeeper, 3 adp
    int Layout() const;
    void Reply(const std::string& command, std::string answer);
    int64_t Seconds() const;      // the clock now, seconds since 2000-01-01
    void SetWeekday(int weekday); // 1-7; the register then counts on by itself

    // Memory commands; false when the command is none of them.
    bool MemoryCommand(const std::string& command);
    void Stream(bool eprom, size_t firstCell, size_t endCell);
    void SendStream(std::string wire);
    void AnswerChecksum(const std::string& command, bool eprom);
    size_t CellAddress() const;
    // RAM image: takes image bytes from data[pos]; returns where commands go on.
    size_t TakeImage(const std::string& data, size_t pos);
    void ExpireImage();
    void WatchImageStall();
    void EndImage();
    void Vanish();

    Clock clock_;
    std::shared_ptr<int> life_ = std::make_shared<int>(0);  // scheduled calls check it
    std::string line_;
    uint64_t clockOrigin_ = 0;  // device ms at which the clock read clockBase_
    int64_t clockBase_ = 0;     // seconds since 2000-01-01 of the clock at clockOrigin_
    int weekdayShift_ = 0;      // the chip's weekday register against the calendar
    std::string pendingO_, pendingP_, pendingK_;
    bool imageOpen_ = false;
    uint16_t imageSum_ = 0;  // announced
    std::string image_;
    uint64_t lastImageMs_ = 0;
    bool stallWatched_ = false;  // a wake-up for ExpireImage is on its way
    bool ramFitted_ = false, epromFitted_ = false;
};

}  // namespace qvd::sim
