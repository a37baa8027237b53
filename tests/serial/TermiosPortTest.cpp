// The serial component on real pseudo-terminals. Real time is unavoidable
// here; every bound is generous.
#include "serial/PtyRig.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <thread>
#include <vector>

namespace qvd::test {
namespace {

namespace fs = std::filesystem;

// Opens the slave behind the component's back, as another program would.
int OpenBesides(const std::string& path) { return ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK); }

bool Exclusive(const std::string& path) {
    const int fd = OpenBesides(path);  // root gets through TIOCEXCL, others see EBUSY
    if (fd < 0) return errno == EBUSY;
    int on = 0;
    ::ioctl(fd, TIOCGEXCL, &on);
    ::close(fd);
    return on != 0;
}

// Nobody holds an flock on the device.
bool Unlocked(const std::string& path) {
    const int fd = OpenBesides(path);
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

TEST(TermiosPort, OpenFailuresCarryTheComponentsTextsAndErrnoAndLeaveTheHolderAlone) {
    char name[] = "/tmp/qvd-serial-test-XXXXXX";
    const fs::path dir = ::mkdtemp(name);
    const std::string missing = (dir / "COM7").string(), plainFile = (dir / "plain").string();
    std::ofstream(plainFile) << "no tty";
    PtyRig holder;  // the program's own refusal of it is met end to end
    holder.comm.Open();

    const auto cantOpen = [](const std::string& device, const std::string& error) {
        return "Can't open specified device " + device + " (" + error + ")";
    };
    struct Case { std::string device, text; int code; };
    const Case cases[] = {
        {missing, "Specified device not found (" + missing + ").", ENOENT},
        {holder.pty.slavePath, cantOpen(holder.pty.slavePath, "Error 16, Device or resource busy"), EBUSY},
        {dir.string(), cantOpen(dir.string(), "Error 21, Is a directory"), EISDIR},
        {plainFile, cantOpen(plainFile, "Error 25, Inappropriate ioctl for device"), ENOTTY},
    };
    for (const Case& c : cases) {
        RealTimeHost host;
        TVaComm comm(host, TermiosTransports(host), [&](int) { return c.device; });
        std::pair<std::string, int> raised{"(nothing raised)", 0};
        try { comm.Open(); } catch (const EVaCommError& e) { raised = {e.what(), e.Code()}; }
        EXPECT_EQ(raised, std::pair(c.text, c.code));
        EXPECT_FALSE(comm.Active()) << c.device;
    }
    // The refused openers left the holder's exclusive use alone (the flag is
    // the terminal's, not the file's) and kept nothing open or locked themselves.
    EXPECT_TRUE(Exclusive(holder.pty.slavePath));
    EXPECT_TRUE(Unlocked(plainFile));
    fs::remove_all(dir);
}

TEST(TermiosPort, LineIsRawAt57600WithoutHandshakeAndStaleInputIsDropped) {
    PtyRig rig;
    // Leave the line as some terminal program might: 9600 7E2, cooked, every
    // handshake on, hang-up on close.
    int fd = OpenBesides(rig.pty.slavePath);
    termios tio{};
    ASSERT_EQ(::tcgetattr(fd, &tio), 0);
    tio.c_cflag = (tio.c_cflag & ~CSIZE) | CS7 | PARENB | CSTOPB | CRTSCTS | HUPCL;
    tio.c_iflag |= IXON | IXOFF | ICRNL | INPCK, tio.c_oflag |= OPOST, tio.c_lflag |= ICANON | ECHO | ISIG;
    tio.c_cc[VMIN] = 1;
    ::cfsetspeed(&tio, B9600);
    ASSERT_EQ(::tcsetattr(fd, TCSANOW, &tio), 0);
    ::close(fd);
    rig.pty.Send("stale");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));

    rig.comm.Open();
    fd = OpenBesides(rig.pty.slavePath);
    ASSERT_EQ(::tcgetattr(fd, &tio), 0);
    ::close(fd);
    EXPECT_EQ(std::pair(::cfgetispeed(&tio), ::cfgetospeed(&tio)), std::pair(speed_t(B57600), speed_t(B57600)));
    EXPECT_EQ(tio.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL | CLOCAL | CREAD),
              tcflag_t(CS8 | CLOCAL | CREAD));
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | IXANY | ICRNL | INLCR | IGNCR | ISTRIP | INPCK), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_TRUE(tio.c_cc[VMIN] == 0 && tio.c_cc[VTIME] == 0);
    EXPECT_EQ(rig.comm.ReadText(), "");
}

std::string Pattern(size_t n) {
    std::string out(n, '\0');
    for (size_t i = 0; i < n; ++i) out[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
    return out;
}

TEST(TermiosPort, WriteTextReturnsWhenTheOtherEndHasTakenEverythingOrGivesUpAfterOneSecond) {
    // Far more than the pseudo-terminal buffers: the write has to wait for
    // the reader, who starts late.
    const std::string bytes = Pattern(256 * 1024);
    PtyRig rig;
    rig.comm.Open();
    std::atomic<bool> readerStarted{false};
    std::string arrived;
    std::thread reader([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        readerStarted = true;
        arrived = rig.pty.Receive(bytes.size(), 20000);
    });
    auto start = SteadyClock::now();
    EXPECT_TRUE(rig.comm.WriteText(bytes));
    EXPECT_GE(MsSince(start), 250);
    EXPECT_TRUE(readerStarted);
    reader.join();
    EXPECT_TRUE(arrived == bytes) << arrived.size() << " of " << bytes.size() << " bytes";

    // Nobody reads any more.
    start = SteadyClock::now();
    EXPECT_FALSE(rig.comm.WriteText(Pattern(1024 * 1024)));
    EXPECT_TRUE(MsSince(start) >= 950 && MsSince(start) < 5000) << MsSince(start);
    start = SteadyClock::now();
    rig.comm.Close();  // the stuck output does not hold it up
    EXPECT_LT(MsSince(start), 5000);
}

TEST(TermiosPort, EveryArrivalIsAnnouncedOnTheDispatchingThreadAndUnreadBytesCostNoCpu) {
    PtyRig rig;
    std::vector<int> counts;
    bool onOtherThread = false;
    rig.comm.OnRxChar = [&, me = std::this_thread::get_id()](int count) {
        counts.push_back(count);
        onOtherThread |= std::this_thread::get_id() != me;
    };
    rig.comm.Open();
    rig.pty.Send(std::string(100, 'a'));
    ASSERT_TRUE(rig.host.RunUntil([&] { return !counts.empty() && counts.back() == 100; }, 5000));
    const size_t before = counts.size();
    EXPECT_LT(CpuShare([&] { rig.host.RunFor(500); }), 0.05);
    EXPECT_LE(counts.size() - before, 1u);  // at most a late second wake for the same burst
    rig.pty.Send("b");  // the "a"s stay unread; "b" must still be announced
    ASSERT_TRUE(rig.host.RunUntil([&] { return counts.back() == 101; }, 5000));
    EXPECT_FALSE(onOtherThread);
    EXPECT_EQ(rig.comm.ReadText(), std::string(100, 'a') + "b");
}

}  // namespace
}  // namespace qvd::test
