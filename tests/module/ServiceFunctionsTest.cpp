// The service layout's operations and the status report file.
#include "core/module/StatusReport.h"
#include "testkit/ScratchDir.h"
#include "testkit/Rig.h"

#include <gtest/gtest.h>

namespace qvd::test {
namespace {


TEST(AdpSwitch, OnAndOffInTurn) {
    Rig rig(Rig::Connected, 3);
    MainForm& f = rig.form();
    const auto click = [&](bool on) {
        rig.Mark();
        f.adpSwitchCheck.SetChecked(on);
        f.adpSwitchCheck.OnClick();
    };
    // A status answer without a type digit keeps the type the program has,
    // says so, and the program goes on.
    rig.device->faults.replaceOnce["r"] = "---";
    click(true);
    EXPECT_EQ(rig.conn().moduleType(), 3);
    EXPECT_TRUE(rig.LogHas("FEHLER: Modultyp konnte nicht gelesen werden (---)."));
    ASSERT_TRUE(rig.RunUntilReleased(10000));

    f.extraFunctionsCheck.SetChecked(true);
    f.extraFunctionsCheck.OnClick();
    for (int round = 0; round < 2; ++round) {
        click(true);
        EXPECT_FALSE(f.extraFunctionsCheck.checked || f.rangeGroup.visible || f.timekeeperGroup.visible);
        EXPECT_EQ(rig.conn().moduleType(), 8);
        EXPECT_EQ(f.moduleNamePanel.caption, "adp Modul");
        EXPECT_TRUE(f.adpClockGroup.visible && !f.memoryGroup.visible);
        EXPECT_FALSE(f.compareRamItem.visible);  // no RAM stream from the adp module
        const Lines sent = rig.Sent();
        EXPECT_EQ(Lines(sent.begin(), sent.begin() + std::min<long>(3, long(sent.size()))), (Lines{"a0001", "r", "f"}));
        EXPECT_TRUE(rig.LogHas("adp-Modul angeschlossen"));
        ASSERT_TRUE(rig.RunUntilReleased(10000));

        click(false);
        EXPECT_EQ(rig.conn().moduleType(), 3);
        EXPECT_EQ(f.moduleNamePanel.caption, "NSM Adapter");
        EXPECT_EQ(rig.Log().back(), "adp-Modul Funktion deaktiviert");
        EXPECT_TRUE(!f.adpClockGroup.visible && f.memoryGroup.visible && f.compareRamItem.visible);
        ASSERT_TRUE(rig.RunUntilReleased(10000));
    }
    // Closing with the adp module on switches it off: SupervisorClose.ReleasesTheAdapterClosesThePortAndFadesOnce.
}

TEST(ServiceFunctions, ErrorClearingAppendsAFreshErrorBlock) {
    for (bool answered : {true, false}) {
        Rig rig(Rig::Connected, 1);
        if (!answered) rig.device->faults.lengthDelta["yRbWk"] = -1;
        rig.form().clearErrorsButton.OnClick();
        const Lines& info = rig.form().infoMemo.lines;
        EXPECT_EQ(std::count(info.begin(), info.end(), "Fehlermeldungen:"), 2);
        EXPECT_TRUE(info.back().starts_with("Fehlercode 30...39: "));
        EXPECT_TRUE(rig.LogHas(answered ? "Fehlermeldungen im QVD-Modul gelöscht."
                                        : "Fehlermeldungen im QVD-Modul konnte NICHT gelöscht werden."));
    }
}

TEST(ServiceFunctions, ResetDropsTheConnectionAndASearchConnectsAgain) {
    Rig rig(Rig::Connected, 1);
    rig.Mark();
    rig.form().resetAdapterButton.OnClick();
    EXPECT_EQ(rig.Sent(), Lines{"z0001"});
    EXPECT_EQ(rig.Log().front(), "QVD-Modul-RESET wurde ausgeführt");
    EXPECT_FALSE(rig.PortOpen());
    EXPECT_TRUE(rig.OnlySearchOffered() && rig.form().Height() == kStartHeight);
    rig.form().searchButton.OnClick();
    EXPECT_EQ(rig.conn().state(), ConnState::Connected);
}

TEST(StatusReport, FileHoldsInfoStatusAndLogInWindows1252) {
    // An empty memo is one empty line; the poll answer's own CR does not end
    // up before the line end.
    const std::string bytes = StatusReportBytes({}, "FF3-0000-00000000\r", {"Zähler"});
    EXPECT_NE(bytes.find("*\r\n\r\nChecksumme A,B,C,D : FF3-0000-00000000\r\n\r\n"), std::string::npos) << bytes;
    EXPECT_TRUE(bytes.ends_with("*\r\n\r\nZ\xE4hler\r\n")) << bytes;

    Rig rig;
    rig.StartAndEnumerate();
    ScratchDir dir;
    const std::string path = dir / "QVD-PC_Status";  // a name without extension, used as typed
    for (int save = 0; save < 2; ++save) {
        rig.host.saveAnswers.push_back(path);
        rig.form().saveStatusButton.OnClick();
    }
    const std::string saved = ReadFile(path);
    EXPECT_EQ(saved.find("QVD-Modul Infos"), saved.rfind("QVD-Modul Infos"));  // replaced, not appended to
    EXPECT_TRUE(saved.ends_with("Statusmeldungen & QVD-Infos gespeichert unter: " + path + "\r\n"));
    EXPECT_EQ(rig.host.dialogs.back().defaultName, "QVD-PC_Status.txt");
    EXPECT_TRUE(rig.form().pollTimer.Enabled());
}

}  // namespace
}  // namespace qvd::test
