// The service layout's operations and the status report file.
#include "core/module/StatusReport.h"
#include "memory/ScratchDir.h"
#include "support/Rig.h"

#include <gtest/gtest.h>

namespace qvd::test {
namespace {

using qvd::testing::ScratchDir;

TEST(AdpSwitch, OnAndOffInTurn) {
    Rig rig(Rig::Connected, 3);
    MainForm& f = rig.form();
    ASSERT_TRUE(f.adpSwitchCheck.enabled);
    // A status answer without a type digit keeps the type the program has,
    // says so, and the program goes on.
    rig.device->faults.replaceOnce["r"] = "---";
    f.adpSwitchCheck.SetChecked(true);
    f.adpSwitchCheck.OnClick();
    EXPECT_EQ(rig.conn().moduleType, 3);
    EXPECT_TRUE(rig.LogHas("FEHLER: Modultyp konnte nicht gelesen werden (---)."));
    ASSERT_TRUE(rig.RunUntilReleased(10000));
    EXPECT_TRUE(f.clockReadButton.enabled);

    f.extraFunctionsCheck.SetChecked(true);
    f.extraFunctionsCheck.OnClick();
    ASSERT_TRUE(f.rangeGroup.visible);
    for (int round = 0; round < 2; ++round) {
        rig.Mark();
        f.adpSwitchCheck.SetChecked(true);
        f.adpSwitchCheck.OnClick();
        EXPECT_FALSE(f.extraFunctionsCheck.checked || f.rangeGroup.visible || f.timekeeperGroup.visible);
        EXPECT_EQ(rig.conn().moduleType, 8);
        EXPECT_EQ(f.moduleNamePanel.caption, "adp Modul");
        EXPECT_TRUE(f.adpClockGroup.visible && !f.memoryGroup.visible && !f.ramGroup.visible);
        const Lines sent = rig.Sent();
        ASSERT_GE(sent.size(), 3u);
        EXPECT_EQ((Lines{sent.begin(), sent.begin() + 3}), (Lines{"a0001", "r", "f"}));
        EXPECT_TRUE(rig.LogHas("adp-Modul angeschlossen"));
        ASSERT_TRUE(rig.RunUntilReleased(10000));

        rig.Mark();
        f.adpSwitchCheck.SetChecked(false);
        f.adpSwitchCheck.OnClick();
        EXPECT_EQ(rig.conn().moduleType, 3);
        EXPECT_EQ(f.moduleNamePanel.caption, "NSM Adapter");
        EXPECT_EQ(rig.Log().back(), "adp-Modul Funktion deaktiviert");
        EXPECT_TRUE(!f.adpClockGroup.visible && f.memoryGroup.visible && f.ramGroup.visible);
        ASSERT_TRUE(rig.RunUntilReleased(10000));
    }
    // Closing with the adp module on switches it off.
    f.adpSwitchCheck.SetChecked(true);
    f.adpSwitchCheck.OnClick();
    ASSERT_TRUE(rig.RunUntilReleased(10000));
    rig.Mark();
    ASSERT_TRUE(rig.program->RequestClose());
    EXPECT_EQ(rig.Sent().front() == "r" ? rig.Sent()[1] : rig.Sent().front(), "a0000");
}

TEST(ServiceFunctions, ErrorClearingAppendsAFreshErrorBlock) {
    for (bool answered : {true, false}) {
        Rig rig(Rig::Connected, 1);
        if (!answered) rig.device->faults.lengthDelta["yRbWk"] = -1;
        rig.form().clearErrorsButton.OnClick();
        const Lines& info = rig.form().infoMemo.lines;
        EXPECT_EQ(std::count(info.begin(), info.end(), "Fehlermeldungen:"), 2);
        EXPECT_EQ(info.back().rfind("Fehlercode 30...39: ", 0), 0u);
        EXPECT_TRUE(rig.LogHas(answered ? "Fehlermeldungen im QVD-Modul gelöscht."
                                        : "Fehlermeldungen im QVD-Modul konnte NICHT gelöscht werden."));
    }
}

TEST(ServiceFunctions, ResetDropsTheConnectionAndASearchConnectsAgain) {
    Rig rig(Rig::Connected, 1);
    MainForm& f = rig.form();
    rig.Mark();
    f.resetAdapterButton.OnClick();
    EXPECT_EQ(rig.Sent(), Lines{"z0001"});
    EXPECT_EQ(rig.Log().front(), "QVD-Modul-RESET wurde ausgeführt");
    EXPECT_EQ(f.searchButton.caption, "Neue Verbindung + Infos erneuern");
    EXPECT_EQ(f.Height(), kStartHeight);
    EXPECT_FALSE(rig.PortOpen());
    EXPECT_TRUE(rig.OnlySearchOffered());
    f.searchButton.OnClick();
    EXPECT_EQ(rig.conn().state, ConnState::Connected);
}

TEST(StatusReport, FileHoldsInfoStatusAndLogInWindows1252) {
    const std::string infoHead = std::string(18, '*') + " QVD-Modul Infos " + std::string(25, '*') + "\r\n";
    const std::string logHead = std::string(18, '*') + " QVD-PC Status " + std::string(27, '*') + "\r\n";
    EXPECT_EQ(StatusReportBytes({}, "---", {"Zähler"}),
              infoHead + "\r\nChecksumme A,B,C,D : ---\r\n\r\n" + logHead + "\r\nZ\xE4hler\r\n");
    // The poll answer's own CR does not end up before the line end.
    EXPECT_NE(StatusReportBytes({"a"}, "FF3-0000-00000000\r", {"b"}).find("00000000\r\n\r\n"), std::string::npos);

    Rig rig;
    rig.StartAndEnumerate();
    ScratchDir dir;
    const std::string path = dir / "QVD-PC_Status";  // a name without extension, used as typed
    for (int save = 0; save < 2; ++save) {
        rig.host.saveAnswers.push_back(path);
        rig.form().saveStatusButton.OnClick();
    }
    const std::string saved = ScratchDir::Read(path);
    EXPECT_TRUE(saved.starts_with(infoHead + "\r\nChecksumme A,B,C,D : ---\r\n"));
    EXPECT_TRUE(saved.ends_with("Statusmeldungen & QVD-Infos gespeichert unter: " + path + "\r\n"));
    EXPECT_EQ(rig.host.dialogs.back().defaultName, "QVD-PC_Status.txt");
    EXPECT_TRUE(rig.form().pollTimer.Enabled());
}

}  // namespace
}  // namespace qvd::test
