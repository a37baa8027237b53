// qvd-sim's memory streams on a real pseudo-terminal: byte-exact when
// unpaced, at the line rate when paced, and a vanishing module.
#include "sim/QvdDevice.h"
#include "sim/SimProcess.h"

#ifdef QVD_SIM_PATH

#include <gtest/gtest.h>

#include <poll.h>
#include <termios.h>

namespace qvd::test {
namespace {

// The PC end as a bare raw terminal.
struct Line {
    int fd = -1;
    explicit Line(const fs::path& path) {
        fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
        termios tio{};
        ::tcgetattr(fd, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(fd, TCSANOW, &tio);
    }
    ~Line() { ::close(fd); }
    // Sends and reads until n bytes have come, the line hangs up or ms pass.
    std::string Ask(const std::string& command, size_t n, int ms) {
        EXPECT_EQ(::write(fd, command.data(), command.size()), static_cast<ssize_t>(command.size()));
        std::string out;
        const auto start = Clock::now();
        while (out.size() < n && MsSince(start) < ms) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) continue;
            char buffer[65536];
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got <= 0) break;
            out.append(buffer, static_cast<size_t>(got));
        }
        return out;
    }
};

std::string ImageOfType(uint8_t type, bool eprom) {
    sim::DeviceConfig config;
    config.moduleType = type;
    sim::FitMemory(config);
    return eprom ? config.eprom : config.ram;
}

TEST(QvdSimMemory, FastStreamsAWholeEpromByteExact) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--fast", "--type", "4"}));
    Line line(sim.link);
    const std::string eprom = ImageOfType(4, true);
    const auto start = Clock::now();
    const std::string got = line.Ask("h\r", eprom.size(), 10000);
    EXPECT_LT(MsSince(start), 5000);
    EXPECT_TRUE(got == eprom) << got.size() << " bytes";
    EXPECT_EQ(sim.Stop(), 0);
    EXPECT_EQ(sim.Stderr(), "");
}

TEST(QvdSimMemory, PacedStreamTakesItsLineTime) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--type", "2"}));
    Line line(sim.link);
    const auto start = Clock::now();
    EXPECT_TRUE(line.Ask("a\r", 8184, 5000) == ImageOfType(2, false));
    const double ms = MsSince(start);  // 8184 bytes at 5760 bytes/s: 1421 ms
    EXPECT_GE(ms, 1400);  // the line rate is a floor; how much longer depends on the machine
}

TEST(QvdSimMemory, VanishingModuleEndsTheProgramAfterItsLastBytes) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--fast", "--vanish-after-stream", "5000"}));
    Line line(sim.link);
    EXPECT_TRUE(line.Ask("a\r", 65536, 5000) == ImageOfType(1, false).substr(0, 5000));
    EXPECT_EQ(sim.Stop(false), 3);
    EXPECT_NE(sim.Stderr().find("verschwunden"), std::string::npos) << sim.Stderr();
    EXPECT_FALSE(fs::exists(fs::symlink_status(sim.link)));
}

}  // namespace
}  // namespace qvd::test

#endif  // QVD_SIM_PATH
