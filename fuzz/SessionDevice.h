#pragma once
// An adapter whose every answer comes from a script of bytes: for each write
// of the program the next record says what comes back (a healthy answer, any
// bytes, nothing, a stream of many bytes in chunks with pauses, a failed
// write, an unplug), and when. Healthy answers are those of the virtual
// adapter's model, which takes every write the adapter would have taken; the
// script only adds faults and timing. It also records, per write, what the
// program sent and what it read back, for the checks of the session.
//
// Record layout (one byte op, low three bits the kind, high five bits p):
//   0 healthy   the model's answer; p bits 0-1 timing, bits 2-4 variant:
//               1 a wrong sum ("r", "g00x0"), an unreadable clock ("f",
//               "q", "k"), a wrong cell read-back ("c"), error memory
//               entries ("x"); 2-7 a status code ("r") or an identification
//               ("i") of their own, see kIds and kCodes
//   1 literal   length byte, that many bytes; p bits 0-1 timing
//   2 silent    this write and p more are taken without an answer
//   3 stream    see StreamRecord in SessionDevice.cpp
//   4 failed    the write does not go out (returns false after its timeout)
//   5 unplug    byte a, byte b: unplugged a*8 ms after taking this write
//               (a = 0: the write itself fails); back after b*256 ms
//               (b = 0: never)
//   6 healthy n byte k: this write and the next ((k+1) << (p&7)) - 1 get
//               prompt healthy answers
//   7 noise     the healthy answer with stray bytes before and after:
//               byte (before | after << 4); p bits 0-1 timing
// Timing (two bits): 0 prompt; 1 after byte*4 ms; 2 after byte*64 ms;
// 3 dribbled: byte = piece size - 1 (low nibble), gap/8 ms (high nibble).
#include "core/serial/SerialTransport.h"
#include "fuzz/FuzzHost.h"
#include "sim/QvdDevice.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace qvd::fuzz {

// The adapter's own arithmetic, kept apart from the program's so that the
// checks do not take the program's word for it.
using sim::ByteSum16;
using sim::UpperHex;

// Memory of the types without sizes of their own (adp, none).
inline constexpr size_t kFallbackMemory = 256;

// `size` bytes that look like memory, the same for the same seed.
std::string Pattern(size_t size, uint32_t seed);

enum class RecordKind : uint8_t { Healthy = 0, Literal, Silent, Stream, Failed, Unplug, HealthyRun, Noise };

inline uint8_t Op(RecordKind kind, uint8_t p = 0) {
    return static_cast<uint8_t>(static_cast<uint8_t>(kind) | (p << 3));
}

// The device's script, read from the front; past its end every read gives 0.
class Script {
public:
    explicit Script(std::string bytes) : bytes_(std::move(bytes)) {}
    bool AtEnd() const { return pos_ >= bytes_.size(); }
    uint8_t Byte() { return pos_ < bytes_.size() ? static_cast<uint8_t>(bytes_[pos_++]) : 0; }
    std::string Bytes(size_t n);
    void Append(const std::string& more) { bytes_ += more; }
    const std::string& Text() const { return bytes_; }

private:
    std::string bytes_;
    size_t pos_ = 0;
};

// One write of the program and what it read until its next write.
struct Exchange {
    std::string sent;
    bool taken = false;  // the write went out (returned true)
    std::string seen;    // bytes the program read after it
    uint64_t at = 0;     // virtual time of the write
    char record = '.';   // the record that answered it (h l s S f u H n), '.' none
};

// What stands at each COM number besides the adapter.
enum class PortKind : uint8_t { Absent = 0, Silent, Busy, Refusing };

class SessionDevice {
public:
    SessionDevice(FuzzHost& host, Script& script, uint8_t moduleType);
    ~SessionDevice();
    SessionDevice(const SessionDevice&) = delete;
    SessionDevice& operator=(const SessionDevice&) = delete;

    // Transports for "COMn": the adapter at `devicePort`, the others by kind.
    TransportFactory Factory(int devicePort, std::map<int, PortKind> others);

    // Asked for the record of a write when the script has run out; what it
    // returns is appended to the script and read. Unset: the device is
    // silent from then on.
    std::function<std::string(const std::string& written, bool imageBytes)> onScriptEnd;

    std::vector<Exchange> exchanges;

    // --- used by the transport ---
    void Open(std::function<void()> onReceived);
    void Close();
    bool Write(const std::string& bytes);
    int InputCount();
    std::string Read(int n);

private:
    struct Timing {
        uint64_t delayMs = 1;
        size_t piece = 0;  // 0: the answer in one piece
        uint32_t gapMs = 0;
    };
    struct Delivery {
        std::string bytes;
        Timing timing;
        // Stream shape: chunk size and gap, one pause.
        size_t chunk = 0;
        uint32_t chunkGapMs = 0;
        size_t pauseAtChunk = SIZE_MAX;
        uint32_t pauseMs = 0;
        bool unplugAfter = false;
        uint32_t replugMs = 0;
    };

    bool Alive() const;
    void CheckAlive(int which);
    Timing ReadTiming(int cls);
    // Takes the next record for a write and acts on it; false when the
    // write failed.
    bool Answer(const std::string& written);
    // The model takes the write and answers it, with the variant's fault.
    std::string Take(const std::string& written, bool image, int variant = 0);
    // The model takes the write; its answer is not wanted.
    void Swallow(const std::string& written, bool image);
    std::string Healthy(const std::string& written, bool image, int variant, Delivery& d);
    void StreamRecord(uint8_t p, const std::string& written, Delivery& d);
    void Deliver(Delivery d);
    void Unplug(uint32_t replugMs);

    FuzzHost& host_;
    Script& script_;
    sim::QvdDevice model_;
    std::string modelSent_;

    // The port.
    bool open_ = false;
    bool unplugged_ = false;
    int plugGeneration_ = 0;
    int openGeneration_ = -1;
    std::shared_ptr<int> openToken_;
    std::function<void()> onReceived_;
    std::string input_;
    uint64_t lineFreeAt_ = 0;

    // Records that cover more than one write.
    int silentLeft_ = 0;
    int healthyLeft_ = 0;

    bool imageMode_ = false;  // image blocks follow an "n" announcement
    std::shared_ptr<bool> life_ = std::make_shared<bool>(true);
};

}  // namespace qvd::fuzz
