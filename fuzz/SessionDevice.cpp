#include "fuzz/SessionDevice.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace qvd::fuzz {

namespace {

using sim::WireMs;

// Enough pieces for every way a stream can arrive; more only cost events.
constexpr size_t kMaxStreamChunks = 256;
// A dump carries no length to check, so a few hundred lines show all its
// handling; the program's work grows with it, the coverage does not. (The
// model stops its dumps there.)
constexpr size_t kMaxTextMemory = 2048;
// A stream that answers anything but a binary memory read is garbage to the
// program whatever its length: past a few kilobytes its lines and bytes only
// repeat the handling (and a megabyte of them, cut into view lines, saved and
// reported, costs as much as a hundred sessions).
constexpr size_t kMaxForeignStream = 4 * 1024;
constexpr uint32_t kWriteTimeoutMs = 1000;

// Identifications for variants 1-7 of "i": a service adapter's number,
// version 1.15, another prefix, another author, version 1.05 after " V" but
// 1.30 at positions 13-16, versions 2.00 and 1.20.
const char* const kIds[] = {
    nullptr, "QVD-BW/NSM V1.30 SN:0007Q3", "QVD-BW/NSM V1.15 SN:000815", "XVD-BW/NSM V1.30 SN:000815",
    "QVD-BW/NSM V1.30 Dipl.-Ing. A. Muster SN:000815", "QVD-A V1.05 1.30 SN:000815", "QVD-BW/NSM V2.00 SN:000815",
    "QVD-BW/NSM V1.20 SN:000815"};
// Status codes for variants 2-7 of "r".
const char* const kCodes[] = {nullptr, nullptr, "00", "40", "25", "26", "18", "10"};

// Big buffers kept from one session to the next. ASan maps every allocation
// over 128 KiB afresh, and the first touch of each page costs more than
// filling it: the model's memories, the memory reads and the streams reuse
// these instead.
class BufferPool {
public:
    static constexpr size_t kWorthKeeping = 128 * 1024;

    // An empty string with room for `bytes`: the smallest kept one that fits.
    static std::string Take(size_t bytes) {
        std::string out;
        if (bytes >= kWorthKeeping) {
            std::vector<std::string>& spare = Spare();
            auto best = spare.end();
            for (auto it = spare.begin(); it != spare.end(); ++it)
                if (it->capacity() >= bytes && (best == spare.end() || it->capacity() < best->capacity())) best = it;
            if (best != spare.end()) {
                out = std::move(*best);
                spare.erase(best);
            }
        }
        out.clear();
        out.reserve(bytes);
        return out;
    }
    // Kept unless the pool is full of bigger ones.
    static void Give(std::string&& buffer) {
        if (buffer.capacity() < kWorthKeeping) return;
        std::vector<std::string>& spare = Spare();
        buffer.clear();
        if (spare.size() < kMaxKept) {
            spare.push_back(std::move(buffer));
            return;
        }
        const auto smallest = std::min_element(spare.begin(), spare.end(), [](const std::string& a, const std::string& b) {
            return a.capacity() < b.capacity();
        });
        if (smallest->capacity() < buffer.capacity()) *smallest = std::move(buffer);
    }

private:
    static constexpr size_t kMaxKept = 8;
    static std::vector<std::string>& Spare() {
        static std::vector<std::string> spare;
        return spare;
    }
};

sim::DeviceConfig ModelConfig(uint8_t moduleType) {
    sim::DeviceConfig config;
    config.moduleType = moduleType;
    config.fallbackRamBytes = config.fallbackEpromBytes = kFallbackMemory;
    config.memoryOnDemand = true;
    config.dumpCellLimit = kMaxTextMemory;
    // Empty, so the model fits them on first use, into room already made.
    const sim::ModuleFacts module = sim::MemoryOf(config);
    config.ram = BufferPool::Take(module.ramBytes);
    config.eprom = BufferPool::Take(module.epromBytes);
    return config;
}

std::vector<Exchange>& SpareExchanges() {
    static std::vector<Exchange> spare;
    return spare;
}

bool IsMemoryRead(const std::string& written) { return written == "a\r" || written == "h\r"; }

bool IsStreamCommand(const std::string& written) {
    return IsMemoryRead(written) || written == "b\r" || written == "j\r";
}

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

std::string Script::Bytes(size_t n) {
    const size_t take = std::min(n, bytes_.size() - std::min(pos_, bytes_.size()));
    std::string out = bytes_.substr(std::min(pos_, bytes_.size()), take);
    pos_ += take;
    return out;
}

SessionDevice::SessionDevice(FuzzHost& host, Script& script, uint8_t moduleType)
    : host_(host), script_(script), model_(ModelConfig(moduleType), [&host] { return host.Time(); }) {
    // The last session's list, emptied: a BW restore alone writes thousands
    // of blocks, and a list that big is a fresh mapping each time it grows.
    exchanges.swap(SpareExchanges());
    exchanges.clear();
    exchanges.reserve(512);
    model_.streamRoom = [](size_t bytes) { return BufferPool::Take(bytes); };
    model_.send = [this](std::string bytes) {
        if (modelSent_.empty())
            modelSent_ = std::move(bytes);
        else
            modelSent_ += bytes;
    };
}

SessionDevice::~SessionDevice() {
    *life_ = false;
    BufferPool::Give(std::move(model_.config.ram));
    BufferPool::Give(std::move(model_.config.eprom));
    for (Exchange& e : exchanges) BufferPool::Give(std::move(e.seen));
    exchanges.clear();
    exchanges.swap(SpareExchanges());
}

TransportFactory SessionDevice::Factory(int devicePort, std::map<int, PortKind> others) {
    return [this, devicePort, others](const std::string& device) -> std::unique_ptr<SerialTransport> {
        int n = 0;
        std::sscanf(device.c_str(), "COM%d", &n);
        if (n == devicePort) return std::make_unique<AdapterTransport>(*this);
        const auto it = others.find(n);
        return std::make_unique<OtherTransport>(host_, it == others.end() ? PortKind::Absent : it->second);
    };
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
    std::string out;
    if (take == input_.size()) {
        out.swap(input_);
    } else {
        out = input_.substr(0, take);
        input_.erase(0, take);
    }
    if (!exchanges.empty()) {
        std::string& seen = exchanges.back().seen;
        // A memory read grows to a megabyte: room for it at once, not in
        // a dozen copies.
        if (seen.empty() && !model_.textForm && IsMemoryRead(exchanges.back().sent)) {
            const sim::ModuleFacts module = sim::MemoryOf(model_.config);
            seen = BufferPool::Take(exchanges.back().sent == "h\r" ? module.epromBytes : module.ramBytes);
        }
        seen += out;
    }
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
    char& record = exchanges.back().record;
    if (silentLeft_ > 0) {
        --silentLeft_;
        record = 's';
        Swallow(written, image);
        return true;
    }
    Delivery d;
    if (healthyLeft_ > 0) {
        --healthyLeft_;
        record = 'H';
        d.bytes = Healthy(written, image, 0, d);
        Deliver(std::move(d));
        return true;
    }
    if (script_.AtEnd() && onScriptEnd) script_.Append(onScriptEnd(written, image));
    if (script_.AtEnd()) {  // the script is over: a device that says nothing more
        Swallow(written, image);
        return true;
    }
    const uint8_t op = script_.Byte();
    const uint8_t p = static_cast<uint8_t>(op >> 3);
    record = "hlsSfuHn"[op & 7];
    switch (static_cast<RecordKind>(op & 7)) {
        case RecordKind::Healthy:
            d.timing = ReadTiming(p & 3);
            d.bytes = Healthy(written, image, (p >> 2) & 7, d);
            break;
        case RecordKind::Literal:
            d.bytes = script_.Bytes(script_.Byte());
            d.timing = ReadTiming(p & 3);
            Swallow(written, image);
            break;
        case RecordKind::Silent:
            silentLeft_ = p;
            Swallow(written, image);
            return true;
        case RecordKind::Stream:
            Swallow(written, image);
            StreamRecord(p, image ? std::string() : written, d);
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
            Swallow(written, image);
            host_.Schedule(host_.Time() + after * 8u, [this, life = life_, replugMs] {
                if (*life) Unplug(replugMs);
            });
            return true;
        }
        case RecordKind::HealthyRun: {
            const uint32_t count = (script_.Byte() + 1u) << (p & 7);
            healthyLeft_ = static_cast<int>(count - 1);
            d.bytes = Healthy(written, image, 0, d);
            break;
        }
        case RecordKind::Noise: {
            const uint8_t counts = script_.Byte();
            d.timing = ReadTiming(p & 3);
            const std::string core = Healthy(written, image, 0, d);
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

std::string SessionDevice::Take(const std::string& written, bool image, int variant) {
    if (!image) imageMode_ = written.size() == 6 && written[0] == 'n' && written.back() == '\r';
    const std::string command = image || written.empty() || written.back() != '\r' ? std::string()
                                                                                    : written.substr(0, written.size() - 1);
    sim::DeviceFaults& faults = model_.faults;
    const std::string sum = model_.config.checksum;
    if (variant == 1) {
        if (command == "r") model_.config.checksum = UpperHex(std::strtoul(sum.c_str(), nullptr, 16) ^ 0x1111u, 4);
        if (command == "x") faults.replaceOnce["x"] = sim::HexDump(Pattern(26, 80), 0, 26, 1).substr(0, 80);
        faults.clockUnreadable = command == "f" || (command.size() == 5 && (command[0] == 'q' || command[0] == 'k'));
        faults.wrongRamChecksums = command == "g0010";
        faults.wrongEpromChecksums = command == "g0020";
    }
    if (variant >= 2 && command == "r") faults.statusSequence = {kCodes[variant]};
    if (variant >= 1 && command == "i") faults.replaceOnce["i"] = kIds[variant];
    modelSent_.clear();
    model_.Receive(written);
    model_.received.clear();  // a long session would grow it without end
    if (variant) model_.faults = {};  // only a variant sets any
    if (variant == 1 && command == "r") model_.config.checksum = sum;
    // "cAAAAAAVVVV BB\r": a read-back one off in the value's last digit.
    const size_t valueEnd = command == "c" ? modelSent_.find(' ') : std::string::npos;
    if (variant == 1 && valueEnd != std::string::npos && valueEnd > 7) {
        char& digit = modelSent_[valueEnd - 1];
        digit = digit == '0' ? '1' : '0';
        for (size_t at = 7, byte = valueEnd + 1; at + 1 < valueEnd && byte < modelSent_.size(); at += 2, ++byte)
            modelSent_[byte] = static_cast<char>(std::strtoul(modelSent_.substr(at, 2).c_str(), nullptr, 16));
    }
    std::string answer;
    answer.swap(modelSent_);  // a whole memory: no copy
    return answer;
}

void SessionDevice::Swallow(const std::string& written, bool image) {
    // The model's state moves on as if it had answered; what it would have
    // sent is never made.
    model_.faults.silent = true;
    Take(written, image);
    model_.faults.silent = false;
}

std::string SessionDevice::Healthy(const std::string& written, bool image, int variant, Delivery& d) {
    std::string answer = Take(written, image, variant);
    if (!image && IsStreamCommand(written)) {
        // (A dump in text form stops after kMaxTextMemory cells.)
        d.chunk = 2304;  // 400 ms of the line: a reader takes what has come
        d.chunkGapMs = 400;
    }
    return answer;
}

namespace {
void AppendPattern(std::string& out, size_t size, uint32_t seed) {
    const size_t start = out.size();
    out.resize(start + size);
    char* const to = out.data() + start;
    uint32_t x = seed * 2654435761u + 0x9E3779B9u;
    for (size_t i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        to[i] = static_cast<char>(x >> 24);
    }
}
}  // namespace

std::string Pattern(size_t size, uint32_t seed) {
    std::string out;
    out.reserve(size);
    AppendPattern(out, size, seed);
    return out;
}

// Stream record: p bits 0-2 size (RAM, EPROM, RAM-1, RAM+1, EPROM/2,
// (a+1)*(b+1), 1+a*16, none); content byte (mode in bits 0-1: random,
// one value, hex dump, random with one byte spoilt; seed above); chunk byte
// (size 2^(bits 0-3); pace bits 4-5: line rate, fast, half rate, slow
// trickle; bit 6 unplug at the end, bit 7 back 2 s later); pause byte
// (position in sixteenths, bits 0-3; length (bits 4-7 + 1) * 500 ms).
void SessionDevice::StreamRecord(uint8_t p, const std::string& written, Delivery& d) {
    const sim::ModuleFacts module = sim::MemoryOf(model_.config);
    size_t size = 0;
    switch (p & 7) {
        case 0: size = module.ramBytes; break;
        case 1: size = module.epromBytes; break;
        case 2: size = module.ramBytes - 1; break;
        case 3: size = module.ramBytes + 1; break;
        case 4: size = module.epromBytes / 2; break;
        case 5: {
            const size_t a = script_.Byte() + 1u;
            size = a * (script_.Byte() + 1u);
            break;
        }
        case 6: size = 1 + script_.Byte() * 16u; break;
        case 7: size = 0; break;
    }
    const bool memoryRead = IsMemoryRead(written) && !model_.textForm;
    if (!memoryRead) size = std::min(size, kMaxForeignStream);
    const uint8_t content = script_.Byte();
    // Both up to a megabyte: in kept buffers, not fresh memory.
    std::string memory = BufferPool::Take(size);
    if ((content & 3) != 2) d.bytes = BufferPool::Take(size);
    switch (content & 3) {
        case 0: AppendPattern(memory, size, content >> 2); d.bytes = memory; break;
        case 1: memory.assign(size, static_cast<char>(script_.Byte())); d.bytes = memory; break;
        case 2:
            AppendPattern(memory, std::min(size, kMaxTextMemory), content >> 2);
            d.bytes = sim::HexDump(memory, 0, memory.size() / module.cellBytes, module.cellBytes);
            break;
        case 3: {
            AppendPattern(memory, size, content >> 2);
            d.bytes = memory;
            const size_t at = size * script_.Byte() / 256;
            if (at < size) d.bytes[at] = static_cast<char>(d.bytes[at] ^ 0x5A);
            break;
        }
    }
    // The module holds what it streamed and sums it, whatever the wire did;
    // a whole memory stays at the module's size.
    model_.config.checksum = UpperHex(ByteSum16(memory), 4);
    if (IsMemoryRead(written)) {
        std::string& held = model_.Memory(written == "h\r");
        const size_t keep = held.size();
        held = memory;
        held.resize(keep, '\0');
    }

    BufferPool::Give(std::move(memory));

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
    // Every piece refers to the one answer instead of holding a copy.
    const std::shared_ptr<const std::string> answer(new std::string(std::move(d.bytes)), [](const std::string* bytes) {
        BufferPool::Give(std::move(*const_cast<std::string*>(bytes)));
        delete bytes;
    });
    auto arrive = [this, token, answer](uint64_t at, size_t from, size_t n) {
        host_.Schedule(at, [this, token, life = life_, answer, from, n] {
            if (!*life || token != openToken_ || !Alive()) return;
            input_.append(*answer, from, n);
            if (onReceived_) onReceived_();
        });
    };
    const std::string& bytes = *answer;
    size_t piece = d.chunk ? d.chunk : d.timing.piece ? d.timing.piece : std::max<size_t>(bytes.size(), 1);
    const uint32_t gap = d.chunk ? d.chunkGapMs : d.timing.gapMs;
    size_t index = 0;
    for (size_t at = 0; at < bytes.size(); at += piece, ++index) {
        const size_t n = std::min(piece, bytes.size() - at);
        if (index == d.pauseAtChunk) t += d.pauseMs;
        t += index == 0 && !d.chunk ? WireMs(n) : std::max<uint32_t>(gap, 1);
        arrive(t, at, n);
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
