#include "fuzz/SessionDevice.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace qvd::fuzz {

namespace {

constexpr uint32_t kLineBytesPerSecond = 5760;
constexpr size_t kMaxStreamChunks = 2048;
constexpr size_t kMaxTextMemory = 16384;
constexpr uint32_t kWriteTimeoutMs = 1000;

uint32_t WireMs(size_t n) {
    return static_cast<uint32_t>((n * 1000 + kLineBytesPerSecond - 1) / kLineBytesPerSecond);
}

long HexValue(const std::string& text) {
    if (text.empty()) return -1;
    long v = 0;
    for (char c : text) {
        int d = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (d < 0) return -1;
        v = v * 16 + d;
    }
    return v;
}

bool IsWordModule(uint8_t type) { return type == 1 || type == 4 || type == 5; }

class AdapterTransport : public SerialTransport {
public:
    explicit AdapterTransport(SessionDevice& device) : device_(device) {}
    ~AdapterTransport() override { Close(); }
    void Open(const std::string&, std::function<void()> onReceived) override {
        device_.Open(std::move(onReceived));
        open_ = true;
    }
    void Close() override {
        if (open_) device_.Close();
        open_ = false;
    }
    bool Write(const std::string& bytes, int) override { return device_.Write(bytes); }
    int InputCount() override { return device_.InputCount(); }
    std::string Read(int n) override { return device_.Read(n); }

private:
    SessionDevice& device_;
    bool open_ = false;
};

// A port without the adapter: absent, held by another program, refused, or
// present with nothing behind it.
class OtherTransport : public SerialTransport {
public:
    OtherTransport(FuzzHost& host, PortKind kind) : host_(host), kind_(kind) {}
    void Open(const std::string& device, std::function<void()>) override {
        switch (kind_) {
            case PortKind::Absent: throw EVaCommError(comm_errors::DeviceNotFound(device), ENOENT);
            case PortKind::Busy: throw EVaCommError(comm_errors::CantOpen(device, EBUSY), EBUSY);
            case PortKind::Refusing: throw EVaCommError(comm_errors::CantOpen(device, EACCES), EACCES);
            case PortKind::Silent: break;
        }
    }
    void Close() override {}
    bool Write(const std::string& bytes, int) override {
        host_.Sleep(WireMs(bytes.size()));
        return true;
    }
    int InputCount() override { return 0; }
    std::string Read(int) override { return {}; }

private:
    FuzzHost& host_;
    PortKind kind_;
};

}  // namespace

std::string Hex(uint32_t value, int digits) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out(static_cast<size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4) out[static_cast<size_t>(i)] = kDigits[value & 0xF];
    return out;
}

uint16_t Sum16(const std::string& bytes) {
    uint32_t sum = 0;
    for (unsigned char b : bytes) sum += b;
    return static_cast<uint16_t>(sum);
}

std::string Script::Bytes(size_t n) {
    const size_t take = std::min(n, bytes_.size() - std::min(pos_, bytes_.size()));
    std::string out = bytes_.substr(std::min(pos_, bytes_.size()), take);
    pos_ += take;
    return out;
}

SessionDevice::SessionDevice(FuzzHost& host, Script& script, uint8_t moduleType)
    : host_(host), script_(script), moduleType_(moduleType) {}

SessionDevice::~SessionDevice() { *life_ = false; }

TransportFactory SessionDevice::Factory(int devicePort, std::map<int, PortKind> others) {
    return [this, devicePort, others](const std::string& device) -> std::unique_ptr<SerialTransport> {
        int n = 0;
        std::sscanf(device.c_str(), "COM%d", &n);
        if (n == devicePort) return std::make_unique<AdapterTransport>(*this);
        const auto it = others.find(n);
        return std::make_unique<OtherTransport>(host_, it == others.end() ? PortKind::Absent : it->second);
    };
}

long SessionDevice::LastSent(const std::string& sent) const {
    for (size_t i = exchanges.size(); i-- > 0;)
        if (exchanges[i].sent == sent) return static_cast<long>(i);
    return -1;
}

// --- the port ---

bool SessionDevice::Alive() const { return open_ && !unplugged_ && openGeneration_ == plugGeneration_; }

void SessionDevice::CheckAlive(int which) {
    if (Alive()) return;
    if (which == 0) throw EVaCommError(comm_errors::WriteError(EIO), EIO);
    if (which == 1) throw EVaCommError(comm_errors::Statistics(EIO), EIO);
    throw EVaCommError(comm_errors::ReadError(EIO), EIO);
}

void SessionDevice::Open(std::function<void()> onReceived) {
    if (unplugged_) throw EVaCommError(comm_errors::DeviceNotFound("COM"), ENOENT);
    if (open_) throw EVaCommError(comm_errors::CantOpen("COM", EBUSY), EBUSY);
    open_ = true;
    openGeneration_ = plugGeneration_;
    openToken_ = std::make_shared<int>(0);
    onReceived_ = std::move(onReceived);
    input_.clear();  // the open flushes the input
}

void SessionDevice::Close() {
    open_ = false;
    openToken_.reset();
    onReceived_ = nullptr;
    input_.clear();
}

int SessionDevice::InputCount() {
    CheckAlive(1);
    return static_cast<int>(input_.size());
}

std::string SessionDevice::Read(int n) {
    CheckAlive(2);
    const size_t take = std::min(input_.size(), static_cast<size_t>(std::max(n, 0)));
    std::string out = input_.substr(0, take);
    input_.erase(0, take);
    if (!exchanges.empty()) exchanges.back().seen += out;
    return out;
}

bool SessionDevice::Write(const std::string& bytes) {
    CheckAlive(0);
    host_.Sleep(WireMs(bytes.size()));  // synchronous: on the line when this returns
    exchanges.push_back({bytes, false, {}, host_.Time(), '.'});
    const bool taken = Answer(bytes);
    exchanges.back().taken = taken;
    return taken;
}

SessionDevice::Timing SessionDevice::ReadTiming(int cls) {
    Timing t;
    switch (cls & 3) {
        case 0: break;
        case 1: t.delayMs = 1 + script_.Byte() * 4u; break;
        case 2: t.delayMs = 1 + script_.Byte() * 64u; break;
        case 3: {
            const uint8_t b = script_.Byte();
            t.piece = (b & 15u) + 1;
            t.gapMs = (b >> 4) * 8u + 1;
            break;
        }
    }
    return t;
}

bool SessionDevice::Answer(const std::string& written) {
    // Image bytes follow an "n" announcement in 64- and 56-byte blocks.
    const bool image = imageMode_ && (written.size() == 64 || written.size() == 56);
    auto observe = [&] {
        if (image) {
            for (unsigned char b : written) imageSum_ += b;
            lastSum_ = static_cast<uint16_t>(imageSum_);
            return;
        }
        imageMode_ = false;
        if (written.size() != 6 || written.back() != '\r') return;
        const std::string cmd = written.substr(0, 5);
        if (cmd == "d0000") textForm_ = false;
        else if (cmd == "d0001") textForm_ = true;
        else if (cmd == "a0001") adpMode_ = true;
        else if (cmd == "a0000") adpMode_ = false;
        else if (cmd[0] == 'o') rangeStart_ = cmd.substr(1);
        else if (cmd[0] == 'p') rangeEnd_ = cmd.substr(1);
        else if (cmd[0] == 'm') cellValue_ = IsWordModule(moduleType_) ? cmd.substr(1, 4) : cmd.substr(3, 2);
        else if (cmd[0] == 'n') {
            imageMode_ = true;
            imageSum_ = 0;
        }
    };

    char& record = exchanges.back().record;
    if (silentLeft_ > 0) {
        --silentLeft_;
        record = 's';
        observe();
        return true;
    }
    Delivery d;
    if (healthyLeft_ > 0) {
        --healthyLeft_;
        record = 'H';
        observe();
        d.bytes = Healthy(image ? std::string() : written, 0, d);
        Deliver(std::move(d));
        return true;
    }
    if (script_.AtEnd() && onScriptEnd) script_.Append(onScriptEnd(written, image));
    if (script_.AtEnd()) {  // the script is over: a device that says nothing more
        observe();
        return true;
    }
    const uint8_t op = script_.Byte();
    const uint8_t p = static_cast<uint8_t>(op >> 3);
    record = "hlsSfuHn"[op & 7];
    const std::string command = image ? std::string() : written;
    switch (static_cast<RecordKind>(op & 7)) {
        case RecordKind::Healthy:
            d.timing = ReadTiming(p & 3);
            observe();
            d.bytes = Healthy(command, (p >> 2) & 7, d);
            break;
        case RecordKind::Literal:
            d.bytes = script_.Bytes(script_.Byte());
            d.timing = ReadTiming(p & 3);
            observe();
            break;
        case RecordKind::Silent:
            silentLeft_ = p;
            observe();
            return true;
        case RecordKind::Stream:
            observe();
            StreamRecord(p, d);
            break;
        case RecordKind::Failed:
            host_.Sleep(kWriteTimeoutMs);
            return false;
        case RecordKind::Unplug: {
            const uint8_t after = script_.Byte();
            const uint32_t replugMs = script_.Byte() * 256u;
            if (after == 0) {
                Unplug(replugMs);
                throw EVaCommError(comm_errors::WriteError(EIO), EIO);
            }
            observe();
            host_.Schedule(host_.Time() + after * 8u, [this, life = life_, replugMs] {
                if (*life) Unplug(replugMs);
            });
            return true;
        }
        case RecordKind::HealthyRun: {
            const uint32_t count = (script_.Byte() + 1u) << (p & 7);
            healthyLeft_ = static_cast<int>(count - 1);
            observe();
            d.bytes = Healthy(command, 0, d);
            break;
        }
        case RecordKind::Noise: {
            const uint8_t counts = script_.Byte();
            d.timing = ReadTiming(p & 3);
            observe();
            const std::string core = Healthy(command, 0, d);
            const std::string before = Pattern(counts & 15u, counts * 31u + 7);
            const std::string after = Pattern(counts >> 4, counts * 17u + 3);
            d.bytes = before + core + after;
            break;
        }
    }
    Deliver(std::move(d));
    return true;
}

// --- what a working adapter answers ---

size_t SessionDevice::RamSize() const {
    switch (moduleType_) {
        case 1: return 65536;
        case 2: case 3: return 8184;
        case 4: return 131072;
        case 5: return 524288;
        default: return 256;
    }
}

size_t SessionDevice::EpromSize() const {
    switch (moduleType_) {
        case 1: case 2: return 524288;
        case 3: return 262144;
        case 4: case 5: return 1048576;
        default: return 256;
    }
}

int SessionDevice::ClockLayout() const {
    const uint8_t type = adpMode_ ? 8 : moduleType_;
    if (IsWordModule(type)) return 1;
    if (type == 2 || type == 3) return 2;
    if (type == 8) return 3;
    return 0;
}

std::string SessionDevice::ClockBlock(int variant) const {
    std::string block;
    size_t marker = 2;
    switch (ClockLayout()) {
        case 1: block = "000" "00" "070624" "1" "120000"; marker = 12; break;  // 18
        case 2: block = "00" "000012" "01" "240607"; break;                    // 16
        case 3: block = "0" "070624" "1" "120000"; break;                      // 14
        default: return {};
    }
    if (variant == 1) block.replace(marker, 6, "FFFFFF");
    return block;
}

std::string Pattern(size_t size, uint32_t seed) {
    std::string out(size, '\0');
    uint32_t x = seed * 2654435761u + 0x9E3779B9u;
    for (size_t i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        out[i] = static_cast<char>(x >> 24);
    }
    return out;
}

std::string SessionDevice::Dump(const std::string& memory) const {
    std::string text;
    for (size_t i = 0; i < memory.size(); ++i) {
        if (i % 16 == 0) text += Hex(static_cast<uint32_t>(i), 6) + ":";
        text += ' ';
        text += Hex(static_cast<unsigned char>(memory[i]), 2);
        if (i % 16 == 15 || i + 1 == memory.size()) text += '\r';
    }
    return text;
}

std::string SessionDevice::Healthy(const std::string& written, int variant, Delivery& d) {
    if (written.size() == 1) return written[0] == '\xF6' ? written : std::string();  // the probe's echo
    if (written.empty() || written.back() != '\r') return {};
    const std::string cmd = written.substr(0, written.size() - 1);
    const std::string ack = written;

    if (cmd == "i") {
        static const char* const kIds[] = {
            "QVD-BW/NSM V1.30 SN:000815", "QVD-BW/NSM V1.30 SN:0007Q3", "QVD-BW/NSM V1.15 SN:000815",
            "XVD-BW/NSM V1.30 SN:000815", "QVD-BW/NSM V1.30 Dipl.-Ing. A. Muster SN:000815",
            "QVD-A V1.05 1.30 SN:000815", "QVD-BW/NSM V2.00 SN:000815", "QVD-BW/NSM V1.20 SN:000815"};
        return kIds[variant & 7];
    }
    if (cmd == "r") {
        static const char* const kCodes[] = {"FF", "FF", "00", "40", "25", "26", "18", "10"};
        const char type = static_cast<char>('0' + (adpMode_ ? 8 : moduleType_ % 10));
        const uint16_t sum = variant == 1 ? static_cast<uint16_t>(lastSum_ ^ 0x1111) : lastSum_;
        return std::string(kCodes[variant & 7]) + type + "-" + Hex(sum, 4) + "-00000000\r";
    }
    if (cmd == "x") return variant == 1 ? Dump(Pattern(26, 80)).substr(0, 80) : std::string(80, '0');
    if (cmd == "X") return std::string(12, '0');
    if (cmd == "s") return std::string(30, '0');
    if (cmd == "f") return ClockBlock(variant);
    if (cmd == "g0010" || cmd == "g0020")
        return cmd + " " + Hex(variant == 1 ? lastSum_ ^ 0x2222u : lastSum_, 4);
    if (cmd == "c") {
        const bool word = IsWordModule(moduleType_);
        std::string value = cellValue_.empty() ? std::string(word ? 4 : 2, '0') : cellValue_;
        if (variant == 1) value[value.size() - 1] = value.back() == '0' ? '1' : '0';
        std::string chars;
        for (size_t i = 0; i + 1 < value.size(); i += 2)
            chars += static_cast<char>(HexValue(value.substr(i, 2)) & 0xFF);
        return "c" + Hex(static_cast<uint32_t>(std::max(HexValue(rangeEnd_), 0L)), 6) + value + " " + chars + "\r";
    }
    if (cmd == "a" || cmd == "h" || cmd == "b" || cmd == "j") {
        size_t size = cmd == "a" ? RamSize() : cmd == "h" ? EpromSize() : 0;
        if (cmd == "b" || cmd == "j") {
            const long first = std::max(HexValue(rangeStart_), 0L), end = std::max(HexValue(rangeEnd_), 0L);
            size = static_cast<size_t>(std::max(end - first, 0L)) * 256 * (IsWordModule(moduleType_) ? 2 : 1);
            size = std::min(size, kMaxTextMemory);
        }
        if (textForm_) size = std::min(size, kMaxTextMemory);
        const std::string memory = Pattern(size, ++streams_);
        lastSum_ = Sum16(memory);
        d.chunk = 576;  // 100 ms of the line
        d.chunkGapMs = 100;
        return textForm_ ? Dump(memory) : memory;
    }
    if (cmd.size() != 5) return {};
    switch (cmd[0]) {
        case 'n': return {};  // the image follows; no answer
        case 'q': return cmd + " " + ClockBlock(variant);
        case 'k': return ClockLayout() == 3 ? ack : cmd + " " + ClockBlock(variant);
        default: return ack;
    }
}

// Stream record: p bits 0-2 size (RAM, EPROM, RAM-1, RAM+1, EPROM/2,
// (a+1)*(b+1), 1+a*16, none); content byte (mode in bits 0-1: random,
// one value, hex dump, random with one byte spoilt; seed above); chunk byte
// (size 2^(bits 0-3); pace bits 4-5: line rate, fast, half rate, slow
// trickle; bit 6 unplug at the end, bit 7 back 2 s later); pause byte
// (position in sixteenths, bits 0-3; length (bits 4-7 + 1) * 500 ms).
void SessionDevice::StreamRecord(uint8_t p, Delivery& d) {
    size_t size = 0;
    switch (p & 7) {
        case 0: size = RamSize(); break;
        case 1: size = EpromSize(); break;
        case 2: size = RamSize() - 1; break;
        case 3: size = RamSize() + 1; break;
        case 4: size = EpromSize() / 2; break;
        case 5: {
            const size_t a = script_.Byte() + 1u;
            size = a * (script_.Byte() + 1u);
            break;
        }
        case 6: size = 1 + script_.Byte() * 16u; break;
        case 7: size = 0; break;
    }
    const uint8_t content = script_.Byte();
    std::string memory;
    switch (content & 3) {
        case 0: memory = Pattern(size, content >> 2); d.bytes = memory; break;
        case 1: memory = std::string(size, static_cast<char>(script_.Byte())); d.bytes = memory; break;
        case 2:
            memory = Pattern(std::min(size, kMaxTextMemory), content >> 2);
            d.bytes = Dump(memory);
            break;
        case 3: {
            memory = Pattern(size, content >> 2);
            d.bytes = memory;
            const size_t at = size * script_.Byte() / 256;
            if (at < size) d.bytes[at] = static_cast<char>(d.bytes[at] ^ 0x5A);
            break;
        }
    }
    lastSum_ = Sum16(memory);  // what the module summed, whatever the wire did

    const uint8_t shape = script_.Byte();
    size_t chunk = size_t{1} << (shape & 15);
    const int pace = (shape >> 4) & 3;
    const size_t total = d.bytes.size();
    const size_t maxChunks = pace == 3 ? 64 : kMaxStreamChunks;
    while (total / chunk > maxChunks) chunk *= 2;
    d.chunk = chunk;
    switch (pace) {
        case 0: d.chunkGapMs = WireMs(chunk); break;
        case 1: d.chunkGapMs = 1; break;
        case 2: d.chunkGapMs = 2 * WireMs(chunk); break;
        case 3: d.chunkGapMs = std::max<uint32_t>(WireMs(chunk), 900); break;
    }
    d.unplugAfter = (shape & 0x40) != 0;
    d.replugMs = (shape & 0x80) ? 2000 : 0;
    const uint8_t pause = script_.Byte();
    if (pause != 0) {
        const size_t chunks = (total + chunk - 1) / chunk;
        d.pauseAtChunk = (pause & 15u) * chunks / 16;
        d.pauseMs = ((pause >> 4) + 1u) * 500;
    }
}

void SessionDevice::Deliver(Delivery d) {
    if (d.bytes.empty() && !d.unplugAfter) return;
    const std::shared_ptr<int> token = openToken_;
    if (!token) return;  // nobody listens: the bytes are lost
    uint64_t t = std::max(host_.Time() + d.timing.delayMs, lineFreeAt_);
    auto arrive = [this, token](uint64_t at, std::string bytes) {
        host_.Schedule(at, [this, token, life = life_, bytes = std::move(bytes)] {
            if (!*life || token != openToken_ || !Alive()) return;
            input_ += bytes;
            if (onReceived_) onReceived_();
        });
    };
    const std::string& bytes = d.bytes;
    size_t piece = d.chunk ? d.chunk : d.timing.piece ? d.timing.piece : std::max<size_t>(bytes.size(), 1);
    const uint32_t gap = d.chunk ? d.chunkGapMs : d.timing.gapMs;
    size_t index = 0;
    for (size_t at = 0; at < bytes.size(); at += piece, ++index) {
        const size_t n = std::min(piece, bytes.size() - at);
        if (index == d.pauseAtChunk) t += d.pauseMs;
        t += index == 0 && !d.chunk ? WireMs(n) : std::max<uint32_t>(gap, 1);
        arrive(t, bytes.substr(at, n));
    }
    lineFreeAt_ = t;
    if (d.unplugAfter) {
        const uint32_t replugMs = d.replugMs;
        host_.Schedule(t + 5, [this, life = life_, replugMs] {
            if (*life) Unplug(replugMs);
        });
    }
}

void SessionDevice::Unplug(uint32_t replugMs) {
    if (unplugged_) return;
    unplugged_ = true;
    ++plugGeneration_;
    if (open_ && onReceived_) {
        // A hang-up wakes the reader, as on a real port.
        host_.Post([this, token = openToken_, life = life_] {
            if (*life && token == openToken_ && onReceived_) onReceived_();
        });
    }
    if (replugMs)
        host_.Schedule(host_.Time() + replugMs, [this, life = life_] {
            if (*life) unplugged_ = false;
        });
}

}  // namespace qvd::fuzz
