// The virtual adapter's memory commands and faults through the in-process
// link, on virtual time.
#include "sim/VirtualPort.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace qvd::sim {
namespace {

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
    // Sends and collects what has come after ms.
    std::string Ask(const std::string& command, uint32_t ms = 1000) {
        port->Write(command, 0);
        host.RunFor(ms);
        return port->Read(port->InputCount());
    }
    void Range(size_t from, size_t to) {
        EXPECT_EQ(Ask("o" + Hex(from, 4) + "\r"), "o" + Hex(from, 4) + "\r");
        EXPECT_EQ(Ask("p" + Hex(to, 4) + "\r"), "p" + Hex(to, 4) + "\r");
    }
    // A whole stream of n bytes, with time to spare.
    std::string Stream(const std::string& command, size_t n) { return Ask(command, WireMs(n) + 10); }
};

// The text form of bytes: lines of 16 cells closed by a lone CR, each led
// by its cell address.
std::string Dump(const std::string& bytes, size_t cellBytes, size_t cell) {
    std::string text;
    for (size_t at = 0; at < bytes.size(); at += 16 * cellBytes, cell += 16) {
        text += Hex(cell, 6) + ":";
        for (size_t b = at; b < std::min(bytes.size(), at + 16 * cellBytes); b += cellBytes) {
            text += ' ';
            for (size_t i = 0; i < cellBytes; ++i) text += Hex(static_cast<unsigned char>(bytes[b + i]), 2);
        }
        text += '\r';
    }
    return text;
}

// Whole memories ("a") and ranges in blocks of 256 cells ("b" RAM, "j"
// EPROM), clipped to the memory; in text form until binary is chosen again.
TEST(DeviceMemory, StreamsCountBlocksOf256CellsClipToTheMemoryAndDumpAsText) {
    constexpr size_t kAll = std::string::npos;
    struct Case { uint8_t type; const char* command; size_t from, to, firstByte, endByte; bool text; };
    const Case cases[] = {
        {1, "a\r", 0, 0, 0, kAll, true},
        {4, "j\r", 1, 3, 512, 1536, true},
        {2, "b\r", 0x01, 0x03, 256, 768, false},            // bytes
        {2, "b\r", 0x1F, 0x30, 7936, 8184, false},          // end clipped to the 8184 bytes
        {2, "b\r", 0x06, 0x02, 0, 0, false},                // end before start
        {2, "b\r", 0x40, 0x50, 0, 0, false},                // wholly beyond
        {4, "j\r", 0x7FF, 0x900, 0xFFE00, 0x100000, false}, // EPROM, clipped
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + c.command + std::to_string(c.from));
        Wire wire(c.type);
        const std::string& memory = c.command[0] == 'j' ? wire.device.config.eprom : wire.device.config.ram;
        const std::string expected = memory.substr(c.firstByte, c.endByte == kAll ? kAll : c.endByte - c.firstByte);
        if (c.command[0] != 'a') wire.Range(c.from, c.to);
        if (c.text) {
            EXPECT_EQ(wire.Ask("d0001\r"), "d0001\r");
            EXPECT_TRUE(wire.Stream(c.command, expected.size() * 4) == Dump(expected, c.type == 2 ? 1 : 2, c.from * 256));
            EXPECT_EQ(wire.Ask("d0000\r"), "d0000\r");
        }
        EXPECT_TRUE(wire.Stream(c.command, expected.size() + 2000) == expected);
        unsigned sum = 0;
        for (unsigned char b : expected) sum += b;
        EXPECT_EQ(wire.Ask("r\r").substr(4, 4), Hex(sum & 0xFFFF, 4));
    }
}

TEST(DeviceFaults, UnknownCommandsAreToldAndPollsFallSilentAfterN) {
    Wire wire(2);
    std::vector<std::string> unknown;
    wire.device.onUnknownCommand = [&](const std::string& command) { unknown.push_back(command); };
    wire.device.faults.answerPollsThenSilent = 1;
    EXPECT_EQ(wire.Ask("Q\x01\r"), "");
    EXPECT_EQ(unknown, std::vector<std::string>{"Q\x01"});
    EXPECT_EQ(wire.Ask("r\r").size(), 18u);
    EXPECT_EQ(wire.Ask("r\r"), "");
}

}  // namespace
}  // namespace qvd::sim
