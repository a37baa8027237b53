// Ports the program may not have: one another program holds, one the user
// has no permission for. Each is named in the log, the search finds no
// adapter there and sends it nothing, and once the port is free again the
// next search connects.
#include "core/serial/SerialDevice.h"
#include "e2e/E2eRig.h"

#include <gtest/gtest.h>

namespace qvd::e2e {
namespace {

const char* const kNotFoundBox = "QVD-Modul NICHT gefunden.\r\rQVD-BW bitte einschalten und mit dem PC verbinden.";

// Another process holding the port as a second QVD-PC would, until killed.
struct PortHolder {
    pid_t pid = -1;
    explicit PortHolder(const fs::path& port) {
        int ready[2];
        if (::pipe(ready) < 0) return;
        pid = ::fork();  // before the program starts any thread
        if (pid == 0) {
            ::close(ready[0]);
            char held = '0';
            try {
                OpenSerialDevice(port.string());
                held = '1';
            } catch (...) {
            }
            (void)!::write(ready[1], &held, 1);
            for (;;) ::pause();
        }
        ::close(ready[1]);
        char held = '0';
        if (pid > 0 && ::read(ready[0], &held, 1) != 1) held = '0';
        ::close(ready[0]);
        if (held != '1') Release();
    }
    ~PortHolder() { Release(); }
    bool Holding() const { return pid > 0; }
    void Release() {
        if (pid <= 0) return;
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        pid = -1;
    }
};

TEST(PortAccess, PortHeldByAnotherProgramIsNamedAndLeftAlone) {
    TempDir dir;
    Adapter adapter{dir / "ports" / "COM1"};
    ASSERT_TRUE(adapter.Start({"--type", "3"}));
    PortHolder holder(adapter.link());
    ASSERT_TRUE(holder.Holding());
    E2eProgram pc{dir / "ports"};
    ASSERT_TRUE(pc.StartAndEnumerate());
    const std::string busy = "COM 1 (" + adapter.link().string() + ") ist von einem anderen Programm belegt.";
    EXPECT_EQ(Count(pc.form().logMemo.lines, busy), 1);
    EXPECT_FALSE(pc.Search());
    EXPECT_EQ(pc.Boxes(), Lines{kNotFoundBox});
    EXPECT_TRUE(adapter.Received().empty());

    holder.Release();
    EXPECT_TRUE(pc.Search());
    EXPECT_EQ(Count(adapter.Received(), "i"), 1);
}

TEST(PortAccess, PortWithoutPermissionIsNamedWithTheGroupToJoin) {
    TempDir dir;
    fs::permissions(dir.path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
    Adapter adapter{dir / "ports" / "COM1"};
    ASSERT_TRUE(adapter.Start({"--type", "3"}));
    const fs::path device = fs::read_symlink(adapter.link());
    const fs::perms mode = fs::status(device).permissions();
    E2eProgram pc{dir / "ports"};
    {
        fs::permissions(device, fs::perms::none);
        AsUnprivilegedUser user;
        ASSERT_TRUE(pc.StartAndEnumerate());
        EXPECT_FALSE(pc.Search());
    }
    fs::permissions(device, mode);
    const std::string refused = "Kein Zugriff auf " + adapter.link().string() + ": Benutzer muss Mitglied der Gruppe dialout sein.";
    EXPECT_EQ(Count(pc.form().logMemo.lines, refused), 1) << ::testing::PrintToString(pc.form().logMemo.lines);
    EXPECT_EQ(pc.Boxes(), Lines{kNotFoundBox});
    EXPECT_TRUE(adapter.Received().empty());

    EXPECT_TRUE(pc.Search());
    EXPECT_EQ(Count(adapter.Received(), "i"), 1);
}

}  // namespace
}  // namespace qvd::e2e
