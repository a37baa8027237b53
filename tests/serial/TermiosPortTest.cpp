// The serial component on real pseudo-terminals. Real time is unavoidable
// here; every bound is generous.
#include "serial/PtyRig.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

namespace qvd::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Runs the host until `n` bytes wait. Arrivals are announced through
// Host::Post, which ends each wait.
bool WaitForInput(RealTimeHost& host, TVaComm& comm, int n) {
    return host.RunUntil([&] { return comm.InputCount() >= n; }, 5000);
}

std::string ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const EVaCommError& e) {
        return e.what();
    }
    return "(nothing raised)";
}

struct TempDir {
    fs::path path;
    TempDir() {
        char name[] = "/tmp/qvd-serial-test-XXXXXX";
        path = ::mkdtemp(name);
    }
    ~TempDir() { fs::remove_all(path); }
};

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

TEST(TermiosPort, OpenFailuresCarryTheComponentsTextsAndErrno) {
    TempDir dir;
    const std::string missing = (dir.path / "COM7").string();
    const std::string directory = dir.path.string();
    const std::string plainFile = (dir.path / "plain").string();
    std::ofstream(plainFile) << "no tty";
    Pty heldByComponent, heldByProgram;
    RealTimeHost otherHost;
    TVaComm holder(otherHost, TermiosTransports(otherHost), [&](int) { return heldByComponent.SlavePath(); });
    holder.Open();
    const int programFd = OpenBesides(heldByProgram.SlavePath());
    ASSERT_EQ(::flock(programFd, LOCK_EX | LOCK_NB), 0);

    struct Case {
        std::string device;
        std::string text;
        int code;
    };
    const std::vector<Case> cases = {
        {missing, "Specified device not found (" + missing + ").", ENOENT},
        {heldByComponent.SlavePath(),
         "Can't open specified device " + heldByComponent.SlavePath() + " (Error 16, Device or resource busy)", EBUSY},
        {heldByProgram.SlavePath(),
         "Can't open specified device " + heldByProgram.SlavePath() + " (Error 16, Device or resource busy)", EBUSY},
        {directory, "Can't open specified device " + directory + " (Error 21, Is a directory)", EISDIR},
        {plainFile, "Can't open specified device " + plainFile + " (Error 25, Inappropriate ioctl for device)", ENOTTY},
    };
    for (const Case& c : cases) {
        RealTimeHost host;
        TVaComm comm(host, TermiosTransports(host), [&](int) { return c.device; });
        try {
            comm.Open();
            ADD_FAILURE() << c.device << " opened";
        } catch (const EVaCommError& e) {
            EXPECT_EQ(std::string(e.what()), c.text);
            EXPECT_EQ(e.Code(), c.code) << c.device;
        }
        EXPECT_FALSE(comm.Active()) << c.device;
    }

    // The refused openers left the holders' exclusive use alone...
    EXPECT_TRUE(holder.Active());
    EXPECT_TRUE(Exclusive(heldByComponent.SlavePath()));
    heldByComponent.Send("still mine");
    EXPECT_TRUE(WaitForInput(otherHost, holder, 10));
    EXPECT_EQ(holder.ReadText(), "still mine");
    // ...and kept nothing open or locked themselves.
    const int fileFd = ::open(plainFile.c_str(), O_RDWR);
    EXPECT_EQ(::flock(fileFd, LOCK_EX | LOCK_NB), 0);
    ::close(fileFd);
    ::close(programFd);
}

// The port search tells a user without access (not in `dialout`) apart by the
// errno, so EACCES must come through as it is.
TEST(TermiosPort, MissingPermissionIsReportedWithEacces) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to switch to an unprivileged user";
    Pty pty;  // slave: owner root, mode 0620
    const pid_t child = ::fork();
    if (child == 0) {
        // Only plain system calls here: no test framework in the child.
        if (::setgroups(0, nullptr) < 0 || ::setgid(65534) < 0 || ::setuid(65534) < 0) ::_exit(3);
        RealTimeHost host;
        TVaComm comm(host, TermiosTransports(host), [&](int) { return pty.SlavePath(); });
        try {
            comm.Open();
        } catch (const EVaCommError& e) {
            const std::string expected =
                "Can't open specified device " + pty.SlavePath() + " (Error 13, Permission denied)";
            ::_exit(e.Code() == EACCES && e.what() == expected && !comm.Active() ? 0 : 1);
        }
        ::_exit(2);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: wrong text or code, 2: opened, 3: could not drop rights";
}

TEST(TermiosPort, SettingsOfAnOpenPortRaiseAndKeepTheirValues) {
    PtyRig rig;
    rig.comm.SetPortNum(3);
    rig.comm.Open();
    struct Case {
        const char* what;
        std::function<void()> call;
    };
    const std::vector<Case> cases = {
        {"PortNum", [&] { rig.comm.SetPortNum(5); }},
        {"DeviceName", [&] { rig.comm.SetDeviceName("TTY%d"); }},
        {"Open", [&] { rig.comm.Open(); }},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ErrorOf(c.call), "Can't perform this operation while port is open") << c.what;
    EXPECT_EQ(rig.comm.PortNum(), 3);
    EXPECT_EQ(rig.comm.DeviceName(), "COM%d");
    EXPECT_TRUE(rig.comm.Active());
}

TEST(TermiosPort, LineIsRawAt57600WithoutHandshakeAndStaleInputIsDropped) {
    PtyRig rig;
    {
        // Leave the line as some terminal program might: 9600 7E2, cooked,
        // every handshake on, hang-up on close.
        const int fd = OpenBesides(rig.pty.SlavePath());
        termios tio{};
        ASSERT_EQ(::tcgetattr(fd, &tio), 0);
        tio.c_cflag = (tio.c_cflag & ~CSIZE) | CS7 | PARENB | CSTOPB | CRTSCTS | HUPCL;
        tio.c_iflag |= IXON | IXOFF | ICRNL | INPCK;
        tio.c_oflag |= OPOST;
        tio.c_lflag |= ICANON | ECHO | ISIG;
        tio.c_cc[VMIN] = 1;
        ::cfsetspeed(&tio, B9600);
        ASSERT_EQ(::tcsetattr(fd, TCSANOW, &tio), 0);
        ::close(fd);
    }
    rig.pty.Send("stale");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    rig.comm.Open();
    const int fd = OpenBesides(rig.pty.SlavePath());
    termios tio{};
    ASSERT_EQ(::tcgetattr(fd, &tio), 0);
    ::close(fd);
    EXPECT_EQ(::cfgetispeed(&tio), B57600);
    EXPECT_EQ(::cfgetospeed(&tio), B57600);
    EXPECT_EQ(tio.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL | CLOCAL | CREAD),
              tcflag_t(CS8 | CLOCAL | CREAD));
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | IXANY | ICRNL | INLCR | IGNCR | ISTRIP | INPCK), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(tio.c_cc[VMIN], 0);
    EXPECT_EQ(tio.c_cc[VTIME], 0);

    EXPECT_EQ(rig.comm.ReadText(), "");
    rig.pty.Send("fresh");
    ASSERT_TRUE(WaitForInput(rig.host, rig.comm, 5));
    EXPECT_EQ(rig.comm.ReadText(), "fresh");
}

TEST(TermiosPort, BytesPassUnchangedBothWays) {
    // NUL, the release and probe bytes, line ends, XON/XOFF, the terminal's
    // interrupt, end-of-file and suspend characters, DEL and 0xFF.
    const std::string bytes("\0\xDF\xF6\r\n\r\x11\x13\x03\x04\x1A\x7F\xFF" "abc", 16);
    PtyRig rig;
    rig.comm.Open();

    rig.pty.Send(bytes);
    ASSERT_TRUE(WaitForInput(rig.host, rig.comm, static_cast<int>(bytes.size())));
    EXPECT_EQ(rig.comm.ReadText(), bytes);
    EXPECT_EQ(rig.comm.ReadText(), "");

    EXPECT_TRUE(rig.comm.WriteText(bytes));
    EXPECT_EQ(rig.pty.Receive(bytes.size() + 1, 200), bytes);  // and nothing more
}

TEST(TermiosPort, ReadTextWithNothingWaitingReturnsEmptyAtOnce) {
    PtyRig rig;
    rig.comm.Open();
    const auto start = Clock::now();
    EXPECT_EQ(rig.comm.ReadText(), "");
    EXPECT_LT(MsSince(start), 100);
}

TEST(TermiosPort, CloseReturnsAtOnceWhenClosedAndTakesAtLeast300MsWhenOpen) {
    PtyRig rig;
    auto start = Clock::now();
    rig.comm.Close();
    EXPECT_LT(MsSince(start), 100);

    rig.comm.Open();
    start = Clock::now();
    rig.comm.Close();
    const double closeMs = MsSince(start);
    EXPECT_GE(closeMs, 300);
    EXPECT_LT(closeMs, 5000);
    EXPECT_FALSE(rig.comm.Active());
    RecordProperty("close_ms", std::to_string(closeMs));
}

TEST(TermiosPort, ReopensWhileTheOtherEndStaysOpenAndFreesThePortOnClose) {
    PtyRig rig;
    for (int round = 0; round < 3; ++round) {
        rig.comm.Open();
        EXPECT_TRUE(Exclusive(rig.pty.SlavePath()));
        rig.pty.Send("ping");
        ASSERT_TRUE(WaitForInput(rig.host, rig.comm, 4)) << round;
        EXPECT_EQ(rig.comm.ReadText(), "ping");
        EXPECT_TRUE(rig.comm.WriteText("pong"));
        EXPECT_EQ(rig.pty.Receive(4, 2000), "pong");
        rig.comm.Close();

        // Neither the exclusive mode nor the lock outlives Close.
        EXPECT_FALSE(Exclusive(rig.pty.SlavePath()));
        const int fd = OpenBesides(rig.pty.SlavePath());
        EXPECT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
        ::close(fd);
    }
}

std::string Pattern(size_t n) {
    std::string out(n, '\0');
    for (size_t i = 0; i < n; ++i) out[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
    return out;
}

TEST(TermiosPort, WriteTextReturnsOnlyWhenTheOtherEndHasTakenEverything) {
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
    const auto start = Clock::now();
    const bool ok = rig.comm.WriteText(bytes);
    const double writeMs = MsSince(start);
    const bool startedBeforeReturn = readerStarted;
    reader.join();
    EXPECT_TRUE(ok);
    EXPECT_TRUE(startedBeforeReturn);
    EXPECT_GE(writeMs, 250);
    EXPECT_TRUE(arrived == bytes) << arrived.size() << " of " << bytes.size() << " bytes";
}

TEST(TermiosPort, WriteTextGivesUpAfterOneSecondWhenNothingIsTaken) {
    PtyRig rig;
    rig.comm.Open();
    const auto start = Clock::now();
    EXPECT_FALSE(rig.comm.WriteText(Pattern(1024 * 1024)));
    const double writeMs = MsSince(start);
    EXPECT_GE(writeMs, 950);
    EXPECT_LT(writeMs, 5000);
    // The stuck output does not hold up Close.
    const auto closing = Clock::now();
    rig.comm.Close();
    EXPECT_LT(MsSince(closing), 5000);
}

TEST(TermiosPort, EveryArrivalIsAnnouncedOnTheDispatchingThreadEvenWhileEarlierBytesWait) {
    PtyRig rig;
    std::vector<int> counts;
    bool onOtherThread = false;
    const auto me = std::this_thread::get_id();
    rig.comm.OnRxChar = [&](int count) {
        counts.push_back(count);
        onOtherThread |= std::this_thread::get_id() != me;
    };
    rig.comm.Open();
    rig.pty.Send("a");
    ASSERT_TRUE(rig.host.RunUntil([&] { return !counts.empty(); }, 5000));
    EXPECT_EQ(counts.back(), 1);
    // "a" stays unread; "b" must still be announced.
    rig.pty.Send("b");
    ASSERT_TRUE(rig.host.RunUntil([&] { return counts.back() == 2; }, 5000));
    EXPECT_FALSE(onOtherThread);
    EXPECT_EQ(rig.comm.ReadText(), "ab");
}

TEST(TermiosPort, UnreadBytesCostNoCpu) {
    PtyRig rig;
    int notifications = 0;
    rig.comm.OnRxChar = [&](int) { ++notifications; };
    rig.comm.Open();
    rig.pty.Send(std::string(100, 'x'));
    ASSERT_TRUE(rig.host.RunUntil([&] { return notifications > 0; }, 5000));
    const int before = notifications;
    const double share = CpuShare([&] { rig.host.RunFor(500); });
    EXPECT_LT(share, 0.05);
    EXPECT_LE(notifications - before, 1);  // at most a late second wake for the same burst
    EXPECT_EQ(rig.comm.InputCount(), 100);
    RecordProperty("cpu_share_unread", std::to_string(share));
}

TEST(TermiosPort, HangUpCostsNoCpuIsRaisedOnceThenThePortIsClosed) {
    struct Case {
        const char* first;
        std::function<void(TVaComm&)> call;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"ReadText", [](TVaComm& c) { c.ReadText(); }, "Error retrieving statistics (5), Input/output error"},
        {"InputCount", [](TVaComm& c) { c.InputCount(); }, "Error retrieving statistics (5), Input/output error"},
        {"WriteText", [](TVaComm& c) { c.WriteText("r\r"); }, "Write error (5), Input/output error"},
    };
    for (const Case& c : cases) {
        PtyRig rig;
        int notifications = 0;
        rig.comm.OnRxChar = [&](int) { ++notifications; };
        rig.comm.Open();
        rig.pty.Send("unread");
        ASSERT_TRUE(rig.host.RunUntil([&] { return notifications > 0; }, 5000));
        rig.pty.CloseMaster();  // the adapter is unplugged

        const double share = CpuShare([&] { rig.host.RunFor(500); });
        EXPECT_LT(share, 0.05) << c.first;
        RecordProperty(std::string("cpu_share_hung_up_") + c.first, std::to_string(share));

        EXPECT_EQ(ErrorOf([&] { c.call(rig.comm); }), c.text) << c.first;
        EXPECT_FALSE(rig.comm.Active()) << c.first;
        EXPECT_EQ(rig.comm.ReadText(), "") << c.first;
        EXPECT_EQ(rig.comm.InputCount(), 0) << c.first;
        EXPECT_FALSE(rig.comm.WriteText("r\r")) << c.first;
        rig.comm.Close();  // closed already: returns at once
    }
}

}  // namespace
}  // namespace qvd::test
