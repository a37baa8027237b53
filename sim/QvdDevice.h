#pragma once
// The virtual QVD module: one device model for the tests (on virtual time)
// and for qvd-sim (real time on a pseudo-terminal). It takes the bytes the PC
// sends and answers through `send`; pacing on the line is the link's job.
#include <cstdint>
#include <functional>
#include <map>
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
};

struct DeviceFaults {
    // Answer this command (its full text without CR) one byte short or long.
    std::map<std::string, int> lengthDelta;
    // Answer nothing at all (unplugged, switched off).
    bool silent = false;
    // Answer the first N "r" polls, then stay silent to "r".
    std::optional<int> answerPollsThenSilent;
    // Bytes sent before the echo of the probe byte.
    std::string garbageBeforeEcho;
    // Bytes sent after the echo of the probe byte.
    std::string extraAfterEcho;
    // Status codes for the coming "r" polls, one per poll, then config.statusCode.
    std::vector<std::string> statusSequence;
    // Whole answer texts that replace the answer to a command once.
    std::map<std::string, std::string> replaceOnce;
    // "w0001" is not acknowledged.
    bool refuseErrorReset = false;
    // The clock chip is unreadable: clock blocks carry the invalid marker.
    bool clockUnreadable = false;
};

class QvdDevice {
public:
    using Send = std::function<void(const std::string& bytes)>;
    using Clock = std::function<uint64_t()>;  // milliseconds, monotonic

    QvdDevice(DeviceConfig config, Clock clock);

    // Bytes from the PC.
    void Receive(const std::string& bytes);
    Send send;
    // Called for a command the model does not know (qvd-sim prints it).
    std::function<void(const std::string& command)> onUnknownCommand;

    DeviceConfig config;
    DeviceFaults faults;

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

private:
    void HandleCommand(const std::string& command);
    std::optional<std::string> Answer(const std::string& command);
    std::string ClockBlock(int layout) const;  // 1 RTC, 2 Timekeeper, 3 adp
    int Layout() const;
    void Reply(const std::string& command, std::string answer);
    int64_t Seconds() const;      // the clock now, seconds since 2000-01-01
    void SetWeekday(int weekday); // 1-7; the register then counts on by itself

    Clock clock_;
    std::string line_;
    uint64_t clockOrigin_ = 0;  // device ms at which the clock read clockBase_
    int64_t clockBase_ = 0;     // seconds since 2000-01-01 of the clock at clockOrigin_
    int weekdayShift_ = 0;      // the chip's weekday register against the calendar
    std::string pendingO_, pendingP_, pendingK_;
};

}  // namespace qvd::sim
