// The serial component on real pseudo-terminals. Real time is unavoidable
// here; every bound is generous.
#include "serial/PtyRig.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <thread>
#include <vector>

namespace qvd::test {
namespace {

namespace fs = std::filesystem;

// Runs the host until `n` bytes wait. Arrivals are announced through
// Host::Post, which ends each wait.
bool WaitForInput(PtyRig& rig, int n) {
    return rig.host.RunUntil([&] { return rig.comm.InputCount() >= n; }, 5000);
}

// The text and errno of what the call raises.
std::pair<std::string, int> ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const EVaCommError& e) {
        return {e.what(), e.Code()};
    }
    return {"(nothing raised)", 0};
}

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
    PtyRig holder;  // one held by another program is met end to end
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
        EXPECT_EQ(ErrorOf([&] { comm.Open(); }), std::pair(c.text, c.code));
        EXPECT_FALSE(comm.Active()) << c.device;
    }
    // The refused openers left the holder's exclusive use alone and kept
    // nothing open or locked themselves.
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

TEST(TermiosPort, BytesPassUnchangedAcrossReopensAndCloseTakes300MsAndFreesThePort) {
    // NUL, the release and probe bytes, line ends, XON/XOFF, the terminal's
    // interrupt, end-of-file and suspend characters, DEL and 0xFF.
    const std::string bytes("\0\xDF\xF6\r\n\r\x11\x13\x03\x04\x1A\x7F\xFF" "abc", 16);
    PtyRig rig;
    auto start = SteadyClock::now();
    rig.comm.Close();  // closed: returns at once
    EXPECT_LT(MsSince(start), 100);
    for (int round = 0; round < 2; ++round) {
        rig.comm.Open();
        EXPECT_TRUE(Exclusive(rig.pty.slavePath));
        rig.pty.Send(bytes);
        ASSERT_TRUE(WaitForInput(rig, static_cast<int>(bytes.size()))) << round;
        EXPECT_EQ(rig.comm.ReadText(), bytes);
        start = SteadyClock::now();
        EXPECT_EQ(rig.comm.ReadText(), "");  // nothing waiting: at once
        EXPECT_LT(MsSince(start), 100);
        EXPECT_TRUE(rig.comm.WriteText(bytes));
        EXPECT_EQ(rig.pty.Receive(bytes.size() + 1, 200), bytes);  // and nothing more
        start = SteadyClock::now();
        rig.comm.Close();
        EXPECT_TRUE(MsSince(start) >= 300 && MsSince(start) < 5000) << MsSince(start);
        EXPECT_FALSE(rig.comm.Active());
        // Neither the exclusive mode nor the lock outlives Close.
        EXPECT_FALSE(Exclusive(rig.pty.slavePath));
        EXPECT_TRUE(Unlocked(rig.pty.slavePath));
    }
}

// The backend is asked for more than waits (the count may be stale): it
// returns what there is, also nothing, without calling that a failure.
TEST(TermiosPort, BackendReadsAtMostWhatWaits) {
    PtyRig rig;
    auto transport = TermiosTransports(rig.host)(rig.pty.slavePath);
    transport->Open(rig.pty.slavePath, [] {});
    EXPECT_EQ(transport->Read(16), "");
    rig.pty.Send("ab");
    std::string got;
    for (int i = 0; i < 100 && got.size() < 2; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        got += transport->Read(16);
    }
    EXPECT_EQ(got, "ab");
    transport->Close();
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

// An unplugged adapter is told once, whoever meets it first: the port's
// notification, or a read or write before that notification is dispatched.
// Then the port is closed: no CPU, no second report.
TEST(TermiosPort, HangUpCostsNoCpuIsToldOnceThenThePortIsClosed) {
    const std::string readError = "Error retrieving statistics (5), Input/output error";
    const std::pair<std::function<void(TVaComm&)>, std::string> cases[] = {
        {nullptr, readError},  // nobody reads: the notification tells it
        {[](TVaComm& c) { c.ReadText(); }, readError},
        {[](TVaComm& c) { c.WriteText("r\r"); }, "Write error (5), Input/output error"},
    };
    for (const auto& [call, text] : cases) {
        PtyRig rig;
        int notifications = 0;
        std::vector<std::pair<std::string, int>> told;
        rig.comm.OnRxChar = [&](int) { ++notifications; };
        rig.comm.OnFailure = [&](const EVaCommError& e) { told.emplace_back(e.what(), e.Code()); };
        rig.comm.Open();
        rig.pty.Send("unread");
        ASSERT_TRUE(rig.host.RunUntil([&] { return notifications > 0; }, 5000));
        rig.pty.CloseMaster();  // the adapter is unplugged
        if (call) {
            // The watcher has most likely seen the hang-up by now; if not,
            // the call still works and the notification tells it below.
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            const auto raised = ErrorOf([&] { call(rig.comm); });
            if (raised.second != 0) told.push_back(raised);
        }
        EXPECT_LT(CpuShare([&] { rig.host.RunFor(500); }), 0.05) << text;
        ASSERT_EQ(told.size(), 1u) << text;
        EXPECT_EQ(told[0].second, EIO);
        EXPECT_TRUE(told[0].first == text || told[0].first == readError) << told[0].first;
        EXPECT_FALSE(rig.comm.Active());
        EXPECT_EQ(rig.comm.ReadText(), "");
        EXPECT_EQ(rig.comm.InputCount(), 0);
        EXPECT_FALSE(rig.comm.WriteText("r\r"));
    }
}

}  // namespace
}  // namespace qvd::test
