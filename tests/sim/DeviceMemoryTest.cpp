// The virtual adapter's memory commands and faults through the in-process
// link, on virtual time.
#include "sim/VirtualPort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace qvd::sim {
namespace {

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
    // o and p give a range in blocks of 256 cells.
    void Range(size_t from, size_t to) {
        EXPECT_EQ(Ask("o" + UpperHex(from, 4) + "\r"), "o" + UpperHex(from, 4) + "\r");
        EXPECT_EQ(Ask("p" + UpperHex(to, 4) + "\r"), "p" + UpperHex(to, 4) + "\r");
    }
    // A whole stream of n bytes, with time to spare.
    std::string Stream(const std::string& command, size_t n) { return Ask(command, WireMs(n) + 10); }
};

// Whole memories ("a") and ranges in blocks of 256 cells ("b" RAM, "j"
// EPROM), clipped to the memory; the status answer then carries their sum.
TEST(DeviceMemory, StreamsCountBlocksOf256CellsAndClipToTheMemory) {
    constexpr size_t kAll = std::string::npos;
    struct Case { uint8_t type; const char* command; size_t from, to, firstByte, endByte; };
    const Case cases[] = {
        {1, "a\r", 0, 0, 0, kAll},
        {4, "j\r", 1, 3, 512, 1536},                 // words
        {2, "b\r", 0x01, 0x03, 256, 768},            // bytes
        {2, "b\r", 0x1F, 0x30, 7936, 8184},          // end clipped to the 8184 bytes
        {2, "b\r", 0x06, 0x02, 0, 0},                // end before start
        {2, "b\r", 0x40, 0x50, 0, 0},                // wholly beyond
        {4, "j\r", 0x7FF, 0x900, 0xFFE00, 0x100000}, // EPROM, clipped
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + c.command + std::to_string(c.from));
        Wire wire(c.type);
        const std::string& memory = c.command[0] == 'j' ? wire.device.config.eprom : wire.device.config.ram;
        const std::string expected = memory.substr(c.firstByte, c.endByte == kAll ? kAll : c.endByte - c.firstByte);
        if (c.command[0] != 'a') wire.Range(c.from, c.to);
        EXPECT_TRUE(wire.Stream(c.command, expected.size() + 2000) == expected);
        unsigned sum = 0;
        for (unsigned char b : expected) sum += b;
        EXPECT_EQ(wire.Ask("r\r").substr(4, 4), UpperHex(sum, 4));
    }
}

// In text form ("d0001") until binary is chosen again: 16 cells a line, led
// by the address of the line's first cell; a word cell high byte first.
TEST(DeviceMemory, TextFormLinesAsTheAdapterWritesThem) {
    struct Case { uint8_t type; const char* command; size_t from, to; size_t lines; std::string first, last; };
    const Case cases[] = {
        {2, "b\r", 0x1F, 0x30, 16, "001F00: 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\r",
         "001FF0: F0 F1 F2 F3 F4 F5 F6 F7\r"},  // clipped to the 8184 bytes
        {4, "b\r", 0x01, 0x02, 16, "000100: 0001 0203 0405 0607 0809 0A0B 0C0D 0E0F 1011 1213 1415 1617 1819 1A1B 1C1D 1E1F\r",
         "0001F0: E0E1 E2E3 E4E5 E6E7 E8E9 EAEB ECED EEEF F0F1 F2F3 F4F5 F6F7 F8F9 FAFB FCFD FEFF\r"},
    };
    DeviceConfig counting;  // each byte the low byte of its address
    for (size_t i = 0; i < 1 << 17; ++i) counting.ram += static_cast<char>(i);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + c.command + std::to_string(c.from));
        Wire wire(c.type, counting);
        wire.Range(c.from, c.to);
        EXPECT_EQ(wire.Ask("d0001\r"), "d0001\r");
        const std::string text = wire.Stream(c.command, 20000);
        EXPECT_EQ(text.substr(0, c.first.size()), c.first);
        EXPECT_TRUE(text.ends_with(c.last)) << text.substr(text.size() - std::min<size_t>(text.size(), 100));
        EXPECT_EQ(static_cast<size_t>(std::count(text.begin(), text.end(), '\r')), c.lines);
        EXPECT_EQ(wire.Ask("d0000\r"), "d0000\r");
        EXPECT_EQ(wire.Stream(c.command, 20000).substr(0, 2), std::string("\0\x01", 2));
    }
}

// A memory made on its first use is the one made at the start: the same
// answers to every memory command, a write and a clear included; a dump
// limit cuts the text after that many cells.
TEST(DeviceMemory, MadeOnDemandServesWhatAMemoryMadeAtTheStartServes) {
    const std::vector<std::string> session = {"c\r", "m00AB\r", "c\r", "g0010\r", "g0020\r", "o0001\r", "p0002\r",
                                              "j\r", "a\r", "h\r", "g0001\r", "a\r", "g0010\r"};
    for (uint8_t type : {uint8_t{1}, uint8_t{3}}) {
        SCOPED_TRACE(type);
        DeviceConfig onDemand;
        onDemand.memoryOnDemand = true;
        Wire eager(type), lazy(type, onDemand);
        for (const std::string& command : session)
            EXPECT_TRUE(lazy.Stream(command, 1 << 20) == eager.Stream(command, 1 << 20)) << command;
    }
    DeviceConfig limited;
    limited.dumpCellLimit = 32;
    Wire wire(3, limited);
    EXPECT_EQ(wire.Ask("d0001\r"), "d0001\r");
    const std::string dump = wire.Stream("a\r", 1 << 16);
    EXPECT_EQ(std::count(dump.begin(), dump.end(), '\r'), 2);  // two lines of 16 cells
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

TEST(DeviceFaults, ARamWriteIsGivenUpOneSecondAfterItsLastBytesHoweverLongTheyCame) {
    Wire wire(3);
    wire.port->Write("n0000\r", 0);
    for (int i = 0; i < 5; ++i) {
        wire.host.RunFor(900);
        wire.port->Write(std::string(16, 'x'), 0);
    }
    wire.host.RunFor(995);
    EXPECT_EQ(wire.device.imageBytes, 80u);
    EXPECT_NE(wire.device.config.statusCode, "24");
    wire.host.RunFor(20);
    EXPECT_EQ(wire.device.config.statusCode, "24");
    EXPECT_EQ(wire.device.received.back(), "<image 80>");
}

}  // namespace
}  // namespace qvd::sim
