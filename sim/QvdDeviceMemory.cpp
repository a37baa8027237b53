// The module's memory as the device serves it: whole and range streams in
// two output forms, checksums, the RAM write, the RAM clear and single cells.
#include "core/wire/Hex.h"
#include "sim/QvdDevice.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace qvd::sim {

namespace {

constexpr uint64_t kImageStallMs = 1000;  // a RAM write that stalls longer is given up

// Hex value of the whole text, -1 when it is not hex digits.
long HexValue(const std::string& text) {
    if (!IsHexDigits(text)) return -1;
    long v = 0;
    for (char c : text) v = v * 16 + HexDigit(c);
    return v;
}

std::string Hex6(size_t v) { return UpperHex(static_cast<uint32_t>(v), 6); }

// Hashed addresses: no runs, no repeating blocks, sums unlike each other,
// RAM unlike EPROM, so that a checksum or a comparison catches a shifted,
// truncated or mixed-up transfer.
std::string MakeMarkerImage(size_t bytes, bool eprom) {
    std::string image(bytes, '\0');
    for (size_t i = 0; i < bytes; ++i) {
        uint32_t x = static_cast<uint32_t>(i) * 0x9E3779B1u + (eprom ? 0x5A5A5A5Au : 0x13579BDFu);
        x ^= x >> 15;
        x *= 0x85EBCA77u;
        x ^= x >> 13;
        image[i] = static_cast<char>(x);
    }
    return image;
}

// Made once per size: the fuzzed sessions start a device thousands of times
// a second, and a megabyte of hashing each time would be most of their work.
const std::string& MarkerImage(size_t bytes, bool eprom) {
    static std::mutex lock;
    static std::map<std::pair<size_t, bool>, std::string> made;
    const std::lock_guard<std::mutex> hold(lock);
    auto [at, fresh] = made.try_emplace({bytes, eprom});
    if (fresh) at->second = MakeMarkerImage(bytes, eprom);
    return at->second;
}

void FitOne(std::string& memory, size_t bytes, bool eprom) {
    if (memory.empty()) memory = MarkerImage(bytes, eprom);
    memory.resize(bytes, '\0');
}

}  // namespace

ModuleFacts MemoryOf(const DeviceConfig& config) {
    ModuleFacts m = ModuleOf(config.moduleType);
    if (!m.ramBytes) m.ramBytes = config.fallbackRamBytes, m.epromBytes = config.fallbackEpromBytes;
    return m;
}

std::string& QvdDevice::Memory(bool eprom) {
    bool& fitted = eprom ? epromFitted_ : ramFitted_;
    std::string& memory = eprom ? config.eprom : config.ram;
    if (!fitted) FitOne(memory, eprom ? MemoryOf(config).epromBytes : MemoryOf(config).ramBytes, eprom);
    fitted = true;
    return memory;
}

size_t QvdDevice::CellAddress() const {
    const long high = HexValue(pendingO_), low = HexValue(pendingP_);
    return static_cast<size_t>(std::max(high, 0L) & 0xFF) << 16 | static_cast<size_t>(std::max(low, 0L));
}

bool QvdDevice::MemoryCommand(const std::string& cmd) {
    const size_t cellBytes = MemoryOf(config).cellBytes;
    auto ramCells = [&] { return Memory(false).size() / cellBytes; };
    if (cmd == "a" || cmd == "h") {
        Stream(cmd == "h", 0, std::string::npos);
        return true;
    }
    if (cmd == "b" || cmd == "j") {
        // o and p give the range in blocks of 256 cells.
        const long first = std::max(HexValue(pendingO_), 0L), end = std::max(HexValue(pendingP_), 0L);
        Stream(cmd == "j", static_cast<size_t>(first) * 256, static_cast<size_t>(end) * 256);
        return true;
    }
    if (cmd == "g0010" || cmd == "g0020") {
        AnswerChecksum(cmd, cmd == "g0020");
        return true;
    }
    if (cmd == "g0001") {
        std::fill(Memory(false).begin(), Memory(false).end(), '\0');
        if (sendGap && !faults.silent) sendGap(config.ramClearDelayMs);
        Reply(cmd, cmd + "\r");
        return true;
    }
    if (cmd == "c") {
        const size_t address = CellAddress();
        std::string bytes(cellBytes, '\0');
        if (address < ramCells()) bytes = Memory(false).substr(address * cellBytes, cellBytes);
        std::string value;
        for (char b : bytes) value += FormatHex2(static_cast<unsigned char>(b));
        Reply(cmd, "c" + Hex6(address) + value + " " + bytes + "\r");
        return true;
    }
    if (cmd.size() == 5 && cmd[0] == 'm' && HexValue(cmd.substr(1)) >= 0) {
        const long value = HexValue(cmd.substr(1));
        const size_t address = CellAddress();
        if (address < ramCells()) {
            std::string& ram = Memory(false);
            if (cellBytes == 2) {
                ram[address * 2] = static_cast<char>(value >> 8);
                ram[address * 2 + 1] = static_cast<char>(value);
            } else {
                ram[address] = static_cast<char>(value);
            }
        }
        Reply(cmd, cmd + "\r");
        return true;
    }
    if (cmd.size() == 5 && cmd[0] == 'n' && HexValue(cmd.substr(1)) >= 0) {
        // The RAM image follows as raw bytes; no answer.
        imageOpen_ = true;
        imageSum_ = static_cast<uint16_t>(HexValue(cmd.substr(1)));
        image_.clear();
        image_.reserve(Memory(false).size());
        imageBytes = 0;
        imageArrivals.clear();
        lastImageMs_ = clock_();
        if (faults.vanishAfterImageBytes == size_t{0}) {
            Vanish();
        } else {
            WatchImageStall();
        }
        return true;
    }
    return false;
}

void QvdDevice::Stream(bool eprom, size_t firstCell, size_t endCell) {
    const std::string& memory = Memory(eprom);
    const size_t cellBytes = MemoryOf(config).cellBytes;
    endCell = std::min(endCell, memory.size() / cellBytes);
    if (endCell <= firstCell) endCell = firstCell = 0;
    if (textForm && config.dumpCellLimit) endCell = std::min(endCell, firstCell + config.dumpCellLimit);
    // The module sums what it sends from memory, so a byte spoilt on the
    // wire shows as a mismatch on the PC.
    config.checksum = FormatHex4(ByteSum16(memory, firstCell * cellBytes, endCell * cellBytes));
    if (faults.silent || vanished) return;  // (a whole EPROM is a megabyte to copy)
    if (textForm) {
        SendStream(HexDump(memory, firstCell, endCell, cellBytes));
        return;
    }
    const size_t bytes = (endCell - firstCell) * cellBytes;
    std::string wire = streamRoom ? streamRoom(bytes) : std::string();
    wire.assign(memory, firstCell * cellBytes, bytes);
    SendStream(std::move(wire));
}

void QvdDevice::SendStream(std::string wire) {
    if (faults.silent || vanished) return;
    auto put = [this](const std::string& bytes) {
        if (send && !bytes.empty()) send(bytes);
    };
    StreamFault& fault = faults.stream;
    if (fault.kind == StreamFault::Kind::None || wire.size() <= fault.at) {
        if (send && !wire.empty()) send(std::move(wire));
        return;
    }
    const StreamFault hit = fault;
    if (fault.streams > 0 && --fault.streams == 0) fault.kind = StreamFault::Kind::None;
    switch (hit.kind) {
        case StreamFault::Kind::Cut:
            put(wire.substr(0, hit.at));
            break;
        case StreamFault::Kind::Pause:
            put(wire.substr(0, hit.at));
            if (sendGap) sendGap(hit.pauseMs);
            put(wire.substr(hit.at));
            break;
        case StreamFault::Kind::Corrupt:
            wire[hit.at] = static_cast<char>(wire[hit.at] ^ 0xFF);
            put(wire);
            break;
        case StreamFault::Kind::Vanish:
            put(wire.substr(0, hit.at));
            Vanish();
            break;
        case StreamFault::Kind::None:
            break;
    }
}

void QvdDevice::AnswerChecksum(const std::string& cmd, bool eprom) {
    if (faults.silent) return;
    uint16_t sum = ByteSum16(Memory(eprom));
    int& wrong = eprom ? faults.wrongEpromChecksums : faults.wrongRamChecksums;
    if (wrong < 0) {
        sum ^= 0x1111;
    } else if (wrong > 0) {
        sum ^= wrong % 2 ? 0x2222 : 0x1111;  // two wrong answers in a row differ
        --wrong;
    }
    if (sendGap) sendGap(eprom ? config.epromChecksumDelayMs : config.ramChecksumDelayMs);
    Reply(cmd, cmd + " " + FormatHex4(sum));
}

size_t QvdDevice::TakeImage(const std::string& data, size_t pos) {
    size_t take = std::min(Memory(false).size() - image_.size(), data.size() - pos);
    if (const auto& v = faults.vanishAfterImageBytes) take = std::min(take, *v > image_.size() ? *v - image_.size() : 0);
    image_.append(data, pos, take);
    imageBytes = image_.size();
    lastImageMs_ = clock_();
    imageArrivals.push_back({lastImageMs_, take});
    if (faults.vanishAfterImageBytes && image_.size() >= *faults.vanishAfterImageBytes) {
        Vanish();
    } else if (image_.size() == Memory(false).size()) {
        if (ByteSum16(image_) == imageSum_) Memory(false) = image_;
        else config.statusCode = "25";
        EndImage();
    } else {
        WatchImageStall();
    }
    return pos + take;
}

// One wake-up at a time, not one per block: when it comes while bytes are
// still arriving, it waits again for the rest of the stall time.
void QvdDevice::WatchImageStall() {
    if (!schedule || stallWatched_) return;
    stallWatched_ = true;
    const uint64_t due = lastImageMs_ + kImageStallMs + 1, now = clock_();
    schedule(static_cast<uint32_t>(due > now ? due - now : 1), [this, life = std::weak_ptr<int>(life_)] {
        if (life.expired()) return;
        stallWatched_ = false;
        ExpireImage();
        if (imageOpen_ && !vanished) WatchImageStall();
    });
}

void QvdDevice::ExpireImage() {
    if (!imageOpen_ || vanished || clock_() - lastImageMs_ <= kImageStallMs) return;
    config.statusCode = "24";
    EndImage();
}

void QvdDevice::EndImage() {
    config.checksum = FormatHex4(ByteSum16(image_));
    received.push_back("<image " + std::to_string(image_.size()) + ">");
    imageOpen_ = false;
    image_.clear();
}

void QvdDevice::Vanish() {
    if (imageOpen_) EndImage();
    vanished = true;
    if (vanish) vanish();
}

}  // namespace qvd::sim
