// The virtual adapter's memory commands and faults through the in-process
// link, on virtual time.
#include "core/serial/EVaCommError.h"
#include "sim/VirtualPort.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace qvd::sim {
namespace {

uint16_t Sum(const std::string& bytes) {
    unsigned sum = 0;
    for (unsigned char b : bytes) sum += b;
    return static_cast<uint16_t>(sum);
}

std::string Hex(size_t v, int digits) {
    char s[16];
    std::snprintf(s, sizeof s, "%0*zX", digits, v);
    return s;
}

// The PC end of a virtual COM1 with the adapter behind it.
struct Wire {
    VirtualHost host;
    VirtualPorts ports{host};
    QvdDevice& device;
    std::unique_ptr<SerialTransport> port = ports.Factory()("COM1");

    explicit Wire(uint8_t type, DeviceConfig config = {})
        : device(ports.AddAdapter("COM1", [&] { config.moduleType = type; return config; }())) {
        port->Open("COM1", [] {});
    }
    std::string Take() { return port->Read(port->InputCount()); }
    // Sends and collects what has come after ms.
    std::string Ask(const std::string& command, uint32_t ms = 1000) {
        port->Write(command, 0);
        host.RunFor(ms);
        return Take();
    }
    std::string StatusChecksum() { return Ask("r\r").substr(4, 4); }
    std::string Status() { return Ask("r\r").substr(0, 2); }
    void Range(size_t from, size_t to) {
        EXPECT_EQ(Ask("o" + Hex(from, 4) + "\r"), "o" + Hex(from, 4) + "\r");
        EXPECT_EQ(Ask("p" + Hex(to, 4) + "\r"), "p" + Hex(to, 4) + "\r");
    }
    // A whole stream of n bytes, with time to spare.
    std::string Stream(const std::string& command, size_t n) { return Ask(command, WireMs(n) + 10); }
};

// The bytes a hex dump shows, checking its layout on the way: lines of 16
// cells closed by a lone CR, each led by its cell address.
std::string Undump(const std::string& text, size_t cellBytes, size_t cell) {
    std::string bytes;
    const size_t field = 1 + 2 * cellBytes;
    for (size_t pos = 0; pos < text.size();) {
        const size_t end = text.find('\r', pos);
        if (end == std::string::npos) {
            ADD_FAILURE() << "line without CR at " << pos;
            break;
        }
        const std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        const size_t cells = (line.size() - 7) / field;
        EXPECT_EQ(line.substr(0, 7), Hex(cell, 6) + ":");
        EXPECT_EQ(line.size(), 7 + cells * field) << line;
        if (pos < text.size()) {
            EXPECT_EQ(cells, 16u) << line;
        }
        for (size_t i = 0; i < cells; ++i) {
            const std::string f = line.substr(7 + i * field, field);
            EXPECT_EQ(f[0], ' ') << line;
            for (size_t b = 0; b < cellBytes; ++b) bytes += static_cast<char>(std::stoi(f.substr(1 + 2 * b, 2), nullptr, 16));
        }
        cell += cells;
    }
    return bytes;
}

TEST(DeviceMemory, TextFormDumpsEveryCellInCrLinesUntilBinaryIsChosenAgain) {
    struct Case { uint8_t type; const char* command; size_t from, to; };  // range in 256-cell blocks
    const Case cases[] = {{1, "a\r", 0, 0}, {2, "a\r", 0, 0}, {4, "j\r", 1, 3}};
    for (const Case& c : cases) {
        Wire wire(c.type);
        const size_t cellBytes = c.type == 2 ? 1 : 2;
        const std::string& memory = c.command[0] == 'a' ? wire.device.config.ram : wire.device.config.eprom;
        const std::string covered = c.to ? memory.substr(c.from * 256 * cellBytes, (c.to - c.from) * 256 * cellBytes) : memory;
        if (c.to) wire.Range(c.from, c.to);
        EXPECT_EQ(wire.Ask("d0001\r"), "d0001\r");
        const std::string text = wire.Stream(c.command, covered.size() * 4);
        EXPECT_EQ(text.find('\n'), std::string::npos);
        EXPECT_EQ(Undump(text, cellBytes, c.from * 256), covered) << int(c.type);
        EXPECT_EQ(wire.StatusChecksum(), Hex(Sum(covered), 4)) << int(c.type);
        EXPECT_EQ(wire.Ask("d0000\r"), "d0000\r");
        EXPECT_EQ(wire.Stream(c.command, covered.size()), covered) << int(c.type);
    }
}

TEST(DeviceMemory, RangeStreamsCountBlocksOf256CellsAndClipToTheMemory) {
    struct Case { uint8_t type; const char* command; size_t from, to, firstByte, endByte; };
    const Case cases[] = {
        {2, "b\r", 0x01, 0x03, 256, 768},            // bytes
        {2, "b\r", 0x1F, 0x30, 7936, 8184},          // end clipped to the 8184 bytes
        {2, "b\r", 0x05, 0x05, 0, 0},                // empty
        {2, "b\r", 0x06, 0x02, 0, 0},                // end before start
        {2, "b\r", 0x40, 0x50, 0, 0},                // wholly beyond
        {4, "b\r", 0x01, 0x02, 512, 1024},           // words: a block is 512 bytes
        {4, "j\r", 0x7FF, 0x900, 0xFFE00, 0x100000}, // EPROM, clipped
    };
    for (const Case& c : cases) {
        Wire wire(c.type);
        const std::string& memory = c.command[0] == 'b' ? wire.device.config.ram : wire.device.config.eprom;
        const std::string expected = memory.substr(c.firstByte, c.endByte - c.firstByte);
        wire.Range(c.from, c.to);
        EXPECT_EQ(wire.Stream(c.command, 2000), expected) << c.command << c.from;
        EXPECT_EQ(wire.StatusChecksum(), Hex(Sum(expected), 4)) << c.command << c.from;
    }
}

TEST(DeviceMemory, RamWriteTakesRawBytesAndChecksTheirSum) {
    // The image is full of what would be commands and probes as text.
    std::string image(8184, '\0');
    for (size_t i = 0; i < image.size(); ++i) image[i] = "r\r\xF6\xDF"[i % 4];
    struct Case { const char* name; size_t bytes; int sumOffset; const char* status; bool taken; };
    const Case cases[] = {
        {"accepted", 8184, 0, "FF", true},
        {"checksum mismatch", 8184, 1, "25", false},
        {"incomplete", 4096, 0, "24", false},
    };
    for (const Case& c : cases) {
        Wire wire(2);
        const std::string before = wire.device.config.ram;
        const std::string announce = "n" + Hex(static_cast<uint16_t>(Sum(image) + c.sumOffset), 4);
        const size_t mark = wire.device.received.size();
        wire.port->Write(announce + "\r", 0);
        const uint64_t start = wire.host.Time();
        for (size_t at = 0; at < c.bytes; at += 512) wire.port->Write(image.substr(at, std::min<size_t>(512, c.bytes - at)), 0);
        // A stalled write ends by itself, without another byte from the PC.
        wire.host.RunFor(1100);
        EXPECT_EQ(wire.device.config.statusCode, c.status) << c.name;
        EXPECT_EQ(wire.Take(), "") << c.name;
        EXPECT_EQ(wire.device.polls, 0) << c.name;
        EXPECT_EQ(wire.device.config.ram == image, c.taken) << c.name;
        if (!c.taken) {
            EXPECT_EQ(wire.device.config.ram, before) << c.name;
        }

        const std::vector<std::string> received(wire.device.received.begin() + static_cast<long>(mark),
                                                wire.device.received.end());
        EXPECT_EQ(received, (std::vector<std::string>{announce, "<image " + std::to_string(c.bytes) + ">"})) << c.name;
        EXPECT_EQ(wire.device.imageBytes, c.bytes) << c.name;
        ASSERT_EQ(wire.device.imageArrivals.size(), (c.bytes + 511) / 512) << c.name;
        // Each batch arrives when its line time is over: the PC's pacing shows.
        EXPECT_EQ(wire.device.imageArrivals[0].atMs, start + WireMs(512)) << c.name;
        EXPECT_EQ(wire.device.imageArrivals[1].atMs - wire.device.imageArrivals[0].atMs, WireMs(512)) << c.name;
        EXPECT_EQ(wire.Status(), c.status) << c.name;
        EXPECT_EQ(wire.StatusChecksum(), Hex(Sum(image.substr(0, c.bytes)), 4)) << c.name;
    }
}

TEST(DeviceMemory, StreamFaultsHitTheNextStreamOnly) {
    using Kind = StreamFault::Kind;
    constexpr size_t K = 1000;
    const Kind kinds[] = {Kind::Cut, Kind::Pause, Kind::Corrupt};
    for (Kind kind : kinds) {
        Wire wire(2);
        const std::string ram = wire.device.config.ram;
        wire.device.faults.stream = {kind, K, 3000};
        std::string got = wire.Stream("a\r", ram.size());
        if (kind == Kind::Cut) {
            wire.host.RunFor(5000);
            EXPECT_EQ(got + wire.Take(), ram.substr(0, K));
        } else if (kind == Kind::Pause) {
            EXPECT_EQ(got, ram.substr(0, K));
            wire.host.RunFor(1500);  // the pause ends 3000 ms after byte K-1
            EXPECT_EQ(wire.Take(), "");
            wire.host.RunFor(WireMs(ram.size() - K) + 300);
            EXPECT_EQ(wire.Take(), ram.substr(K));
        } else {
            std::string spoilt = ram;
            spoilt[K] = static_cast<char>(spoilt[K] ^ 0xFF);
            EXPECT_EQ(got, spoilt);
            EXPECT_EQ(wire.StatusChecksum(), Hex(Sum(ram), 4));  // the true sum: the PC sees the damage
        }
        EXPECT_EQ(wire.device.config.ram, ram) << int(kind);
        EXPECT_EQ(wire.Stream("a\r", ram.size()), ram) << int(kind);
    }
}

}  // namespace
}  // namespace qvd::sim
