// A port the user has no permission for is named in the log, the search
// finds no adapter there and sends it nothing, and once access is granted
// the next search connects. (A port another program holds: CliTest.)
#include "testkit/E2eRig.h"

#include <gtest/gtest.h>

namespace qvd::e2e {
namespace {

TEST(PortAccess, PortWithoutPermissionIsNamedAndLeftAloneUntilAllowed) {
    ScratchDir dir;
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
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
    // No group may open a device without permission bits: the usual one is named.
    const std::string told = "Kein Zugriff auf " + adapter.link().string() +
                             ": Benutzer muss Mitglied der Gruppe dialout sein. Abhilfe: sudo adduser $USER dialout, "
                             "danach neu anmelden.";
    EXPECT_EQ(Count(pc.form().logMemo.lines, told), 1) << ::testing::PrintToString(pc.form().logMemo.lines);
    EXPECT_EQ(pc.Boxes(), Lines{"QVD-Modul NICHT gefunden.\r\rQVD-BW bitte einschalten und mit dem PC verbinden."});
    EXPECT_TRUE(adapter.Received().empty());

    EXPECT_TRUE(pc.Search());
    EXPECT_EQ(Count(adapter.Received(), "i"), 1);
}

}  // namespace
}  // namespace qvd::e2e
