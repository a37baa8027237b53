// Ports the program may not have: one another program holds, one the user
// has no permission for. Each is named in the log, the search finds no
// adapter there and sends it nothing, and once the port is free again the
// next search connects.
#include "core/serial/SerialDevice.h"
#include "testkit/E2eRig.h"

#include <gtest/gtest.h>

namespace qvd::e2e {
namespace {

TEST(PortAccess, PortHeldOrWithoutPermissionIsNamedAndLeftAloneUntilFree) {
    for (const bool held : {true, false}) {
        SCOPED_TRACE(held ? "held by another program" : "without permission");
        ScratchDir dir;
        fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                      fs::perms::others_read | fs::perms::others_exec);
        Adapter adapter{dir / "ports" / "COM1"};
        ASSERT_TRUE(adapter.Start({"--type", "3"}));
        const fs::path device = fs::read_symlink(adapter.link());
        const fs::perms mode = fs::status(device).permissions();
        // Held as a second QVD-PC would hold it (flock and TIOCEXCL): another
        // open file of the port, which the program's own open meets alike.
        const int holder = held ? OpenSerialDevice(adapter.link().string()) : -1;
        E2eProgram pc{dir / "ports"};
        {
            std::optional<AsUnprivilegedUser> user;
            if (!held) {
                fs::permissions(device, fs::perms::none);
                user.emplace();
            }
            ASSERT_TRUE(pc.StartAndEnumerate());
            EXPECT_FALSE(pc.Search());
        }
        if (holder >= 0) ReleaseSerialDevice(holder);
        fs::permissions(device, mode);
        const std::string told = held ? "COM 1 (" + adapter.link().string() + ") ist von einem anderen Programm belegt."
                                      : "Kein Zugriff auf " + adapter.link().string() +
                                            ": Benutzer muss Mitglied der Gruppe dialout sein.";
        EXPECT_EQ(Count(pc.form().logMemo.lines, told), 1) << ::testing::PrintToString(pc.form().logMemo.lines);
        EXPECT_EQ(pc.Boxes(), Lines{"QVD-Modul NICHT gefunden.\r\rQVD-BW bitte einschalten und mit dem PC verbinden."});
        EXPECT_TRUE(adapter.Received().empty());

        EXPECT_TRUE(pc.Search());
        EXPECT_EQ(Count(adapter.Received(), "i"), 1);
    }
}

}  // namespace
}  // namespace qvd::e2e
