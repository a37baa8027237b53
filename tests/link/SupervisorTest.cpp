#include "core/form/MessageBox.h"
#include "core/wire/StatusCodes.h"
#include "testkit/ScratchDir.h"
#include "testkit/Rig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <map>

namespace qvd::test {
namespace {

TEST(SupervisorStart, NoticeThenBannerThenEnumerationOfPresentPortsAndRefusedDevices) {
    const std::string dialout =
        ": Benutzer muss Mitglied der Gruppe dialout sein. Abhilfe: sudo adduser $USER dialout, danach neu anmelden.";
    struct Case { std::function<void(Rig&)> setUp; Lines log; };
    const Case cases[] = {
        {[](Rig&) {}, {"Suche alle COM...", "Keine COM-Schnittstelle gefunden."}},
        {[](Rig& r) {
             r.AddAdapter(1), r.ports.AddBusyPort(ComName(2)), r.AddSilentPort(16);
             for (auto [com, e] : {std::pair{5, EACCES}, {6, EPERM}, {8, EIO}}) r.ports.AddRefusingPort(ComName(com), e);
         },
         {"Suche alle COM...", "Vorhanden: COM 1", "COM 2 (COM2) ist von einem anderen Programm belegt.",
          "Kein Zugriff auf COM5" + dialout, "Kein Zugriff auf COM6" + dialout, "Vorhanden: COM 16", "OK"}},
        {[](Rig& r) { r.ports.AddRefusingPort(ComName(1), EACCES); },
         {"Suche alle COM...", "Kein Zugriff auf COM1" + dialout, "Keine COM-Schnittstelle gefunden."}},
        {[](Rig& r) {
             r.AddAdapter(1), r.AddSilentPort(5);
             r.program->supervisor.describePort = [](const std::string& device) {
                 return device == "COM5" ? "/dev/ttyUSB0, FTDI FT232R USB UART A1B2C3D4" : "";
             };
         },
         {"Suche alle COM...", "Vorhanden: COM 1", "Vorhanden: COM 5 (/dev/ttyUSB0, FTDI FT232R USB UART A1B2C3D4)",
          "OK"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.log.back());
        Rig rig;
        c.setUp(rig);
        size_t logLinesAtNotice = 99;
        rig.host.onMessage = [&](const RecordedMessage&) { logLinesAtNotice = rig.form().logMemo.lines.size(); };
        const uint64_t t0 = rig.host.Time();
        rig.program->Start();
        EXPECT_EQ(rig.Boxes(), Lines{kNoticeText});
        EXPECT_EQ(rig.host.messages[0].title, "QVD-PC");
        EXPECT_EQ(logLinesAtNotice, 0u);
        EXPECT_EQ(rig.form().logMemo.lines.at(1), " QVD-PC Version  1.30");
        EXPECT_FALSE(rig.form().searchButton.enabled);
        rig.logMark = 5;  // after the banner
        ASSERT_TRUE(rig.host.RunUntil([&] { return !rig.Log().empty(); }, 5000));
        EXPECT_EQ(rig.host.Time() - t0, 2000u);
        ASSERT_TRUE(rig.host.RunUntil([&] { return rig.conn().state() == ConnState::Idle; }, 5000));
        // One enumeration tick 100 ms later; each present port's close takes 300 ms.
        const auto present = std::count_if(c.log.begin(), c.log.end(), [](auto& l) { return l.starts_with("Vor"); });
        EXPECT_EQ(rig.host.Time() - t0, 2100u + 300 * present);
        EXPECT_EQ(rig.Log(), c.log);
        EXPECT_EQ(rig.form().messagePanel.caption == c.log.back(), c.log.back() != "OK");
        EXPECT_TRUE(rig.form().searchButton.enabled && rig.form().saveStatusButton.enabled);
        EXPECT_FALSE(rig.form().disconnectButton.enabled);
        for (auto& [name, port] : rig.ports.ports()) EXPECT_FALSE(port.open) << name;
        EXPECT_TRUE(rig.Received(1).empty());  // nothing is sent while looking
    }
}

TEST(SupervisorPoll, CodesAreJudgedAsStrings) {
    const auto error = [](const std::string& code) { return "FEHLER: " + StatusCodeText(code); };
    const auto reset = [&](const std::string& code) {
        return Lines{error(code), "Fataler QVD-Modul-Fehler = " + code, "QVD-Modul-RESET wurde ausgeführt"};
    };
    const auto resettable = [&](const std::string& code) {
        return Lines{error(code), "QVD-Modul-Fehler (" + code + ") wurde zurückgesetzt.", "Bitte warten...", "OK"};
    };
    const std::string resetBox =
        "Fataler QVD-Modul-Fehler\r\rQVD-Modul-RESET wurde ausgeführt.\r\rBitte \"Neue Verbindung\" betätigen.";
    struct Case { std::string code; Lines log; std::string box; bool connected, portOpen;
                  bool refuseReset = false; std::string before = {}; bool released = false; };
    const Case cases[] = {
        {"00", {}, "", true, true}, {"40", {}, "", true, true}, {"FF", {}, "", true, true}, {"4A", {}, "", true, true},
        {"20", resettable("20"), "", true, true}, {"3F", resettable("3F"), "", true, true},
        {"2A", {error("2A"), "! QVD-Modul: Fehler konnte nicht zurückgesetzt werden !"},
         "QVD-Modul-Fehler\r\rFehler konnte nicht zurückgesetzt werden", true, true, true},
        {"1F", reset("1F"), resetBox, false, false}, {"05", reset("05"), resetBox, false, false},
        // No game module plugged in: nothing to reset, the port stays open.
        {"18", {error("18"), "Fataler QVD-Modul-Fehler = 18"},
         "Fataler QVD-Modul-Fehler\r\rBW- oder NSM-Modul aufstecken und dann QVD-Modul einschalten.", false, true},
        // The same resettable error as in the poll before is a repetition: the adapter is released.
        {"21", {"QVD-Modul: Fehlerwiederholung=21/21"},
         "QVD-Modul: Fehlerwiederholung\r\rFehler wird nicht zurückgesetzt. QVD-Modul ab- und wieder anschließen.", false, true,
         false, "21", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        Rig rig(Rig::Connected);
        rig.form().SetLogColors(colors::Maroon, colors::Yellow);
        if (!c.before.empty()) {
            rig.device->faults.statusSequence = {c.before};
            ASSERT_TRUE(rig.Poll());
        }
        rig.device->faults.statusSequence = {c.code};
        rig.device->faults.refuseErrorReset = c.refuseReset;
        rig.Mark();
        ASSERT_TRUE(rig.Poll());
        EXPECT_EQ(rig.Log(), c.log);
        EXPECT_EQ(Has(rig.Sent(), "z0001"), !c.portOpen);
        EXPECT_EQ(Has(rig.Sent(), "w0001"), c.connected && !c.log.empty());
        EXPECT_EQ(Has(rig.Sent(), "<DF>"), c.released);
        // Remembered, reset or not, so that the same code again counts as a repetition.
        EXPECT_EQ(rig.program->supervisor.lastErrorCode(), (c.connected || c.released) && !c.log.empty() ? c.code : "");
        EXPECT_EQ(rig.conn().state(), c.connected ? ConnState::Connected : ConnState::Idle);
        EXPECT_EQ(rig.PortOpen(), c.portOpen);
        EXPECT_EQ(rig.Boxes(), c.box.empty() ? Lines{} : Lines{c.box});
        for (const RecordedMessage& m : rig.host.messages) EXPECT_TRUE(m.icon == MessageIcon::Error && m.title == kWindowCaption);
        EXPECT_TRUE(!c.log.empty() || (rig.form().messagePanel.caption == "OK" && rig.form().logMemo.color == colors::Green &&
                                       rig.form().logMemo.fontColor == colors::Lime));
        if (c.log.empty()) { EXPECT_TRUE(rig.form().lastPollLabel.caption.starts_with(c.code)); }  // the service group shows it
        // No operation can be started that only a connected tick would release.
        EXPECT_TRUE(c.connected || rig.OnlySearchOffered());
    }
}

// Lost polls, the warnings and the give-up are met by the end-to-end line
// faults; here: an answer in between starts the count afresh.
TEST(SupervisorPoll, AnAnswerBetweenUnansweredPollsStartsTheCountAfresh) {
    const std::string w1 = "Keine Kommunikation mit dem QVD-Modul (1). Erneuter Verbindungsaufbau folgt...";
    const std::string w2 = "Keine Kommunikation mit dem QVD-Modul (2). Erneuter Verbindungsaufbau folgt...";
    // x = unanswered poll, . = answered.
    for (const auto& [polls, warnings] : {std::pair<std::string, Lines>{"xxx.xxxx", {w1}}, {"xxxx.xxxxx", {w1, w1, w2}}}) {
        SCOPED_TRACE(polls);
        Rig rig(Rig::Connected);
        rig.Mark();
        for (char p : polls) {
            rig.device->faults.silent = p == 'x';
            ASSERT_TRUE(rig.Poll());
        }
        EXPECT_EQ(rig.Log(), warnings);
        EXPECT_TRUE(rig.PortOpen() && rig.form().disconnectButton.enabled);  // the warning's lock is released at once
    }
}

TEST(SupervisorDisconnect, ReleasesTheAdapterAndKeepsThePortOpen) {
    Rig rig(Rig::Connected);
    ASSERT_TRUE(rig.Poll());
    rig.host.RunFor(500);  // between two polls
    rig.form().disconnectButton.OnClick();
    rig.host.RunFor(2000);
    EXPECT_EQ(rig.device->received.back(), "<DF>");
    EXPECT_TRUE(rig.PortOpen() && rig.host.messages.empty());
    EXPECT_EQ(rig.form().messagePanel.caption, "Verbindung zum QVD-Modul wurde getrennt");
    EXPECT_EQ(rig.form().searchButton.caption, "QVD-BW suchen");
    EXPECT_EQ(rig.form().Height(), kStartHeight);
    EXPECT_TRUE(rig.OnlySearchOffered());
}

// A click while a poll waits for its answer would run its own exchange inside
// the poll's and flush the poll's answer away: it waits for the poll's end,
// and six such clicks neither drop a healthy connection nor get lost.
TEST(SupervisorExchangeGuard, ClicksDuringAPollWaitForItsEnd) {
    Rig rig(Rig::Connected);
    int clicks = 0;
    size_t sentAtClick = 0, sentAfterClick = 0;
    auto tick = rig.form().pollTimer.OnTimer;
    rig.form().pollTimer.OnTimer = [&] {
        rig.host.After(20, [&] {  // inside the poll's 90 ms wait
            sentAtClick = rig.device->received.size();
            rig.form().clockReadButton.OnClick();
            sentAfterClick = rig.device->received.size();
            ++clicks;
        });
        tick();
    };
    rig.Mark();
    rig.host.RunFor(9000);
    ASSERT_GE(clicks, 6);
    EXPECT_EQ(sentAfterClick, sentAtClick);
    const Lines sent = rig.Sent();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "f"), clicks);  // every click was carried out
    EXPECT_EQ(rig.program->supervisor.noAnswerCount(), 0);
    EXPECT_EQ(rig.conn().state(), ConnState::Connected);
}

// An operation's lock stays until the next connected tick, which restores
// every control as it was; the aux windows close when an operation starts.
// Every clock handler is such an operation, and each leaves the poll timer running.
TEST(SupervisorBusyLock, NextConnectedTickReleasesTheLock) {
    for (auto [button, type] : {std::pair<const char*, uint8_t>{"Button7", 1}, {"Button8", 1}, {"Button30", 8},
                                {"Button17", 1}, {"Button20", 3}}) {
        SCOPED_TRACE(button);
        Rig rig(Rig::Connected, type);
        MainForm& f = rig.form();
        f.adpSwitchOffered = true;
        f.EnableControls(true);
        std::map<Control*, bool> before;
        for (Control* c : f.Controls()) before[c] = c->enabled;
        before[&f.window] = f.window.enabled;
        Program& p = *rig.program;
        p.about.window.visible = p.password.window.visible = p.jumperHelp.window.visible = true;
        f.pollTimer.SetEnabled(false);

        f.Find(button)->OnClick();
        EXPECT_FALSE(f.window.enabled || f.adpSwitchCheck.enabled || f.searchButton.enabled || f.clockReadButton.enabled);
        EXPECT_TRUE(f.pollTimer.Enabled());
        EXPECT_EQ(f.statusBar.color, colors::Yellow);
        EXPECT_FALSE(p.about.window.visible || p.password.window.visible || p.jumperHelp.window.visible);
        ASSERT_TRUE(rig.Poll());
        for (auto [c, was] : before) EXPECT_EQ(c->enabled, was) << c->name;
        EXPECT_EQ(f.statusBar.color, colors::MoneyGreen);
    }
}

// A failing error reset opens a box inside the tick; while the user reads it
// no further poll runs, so no second box opens on top of it.
TEST(SupervisorBoxes, NoPollWhileABoxIsOpen) {
    Rig rig(Rig::Connected);
    rig.device->faults.refuseErrorReset = true;
    rig.device->faults.statusSequence = {"21", "21", "21", "21", "21"};
    int open = 0, most = 0;
    rig.host.onMessage = [&](const RecordedMessage&) {
        most = std::max(most, ++open);
        rig.host.RunFor(5000);  // the user takes five seconds
        --open;
    };
    rig.host.RunFor(4000);
    EXPECT_EQ(most, 1);
}

// The close waits for the end of every operation: a save is one from its
// click to the verification's last message, so the port is not closed under
// the memory checksum wait.
TEST(SupervisorClose, RefusedUntilTheOperationHasEnded) {
    ScratchDir dir;
    const auto ramSave = [&](Rig& r) {
        r.host.saveAnswers.push_back(dir / "ram.dat");
        r.form().ramSaveButton.OnClick();
    };
    struct Case {
        const char* name;
        const char* closeWhenLogged;  // the close comes a second after this line
        std::function<void(Rig&)> start;
        const char* lastLine;
    };
    const Case cases[] = {
        {"clock read", nullptr, [](Rig& r) { r.form().clockReadButton.OnClick(); }, nullptr},
        {"RAM save, streaming", "RAM --> Datei: Übertragung läuft...", ramSave, "OK"},
        {"RAM save, verifying", "RAM-Überprüfung, bitte warten...", ramSave, "OK"},
        {"RAM view, streaming", "RAM --> PC: Gesamtinhalt-Übertragung läuft...",
         [](Rig& r) { r.form().ramViewAllButton.OnClick(); }, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(Rig::Connected, 1);
        bool asked = false, mayClose = true;
        std::function<void()> watch = [&] {
            if (!c.closeWhenLogged || rig.LogHas(c.closeWhenLogged))
                rig.host.After(c.closeWhenLogged ? 1000 : 30, [&] { asked = true, mayClose = rig.program->RequestClose(); });
            else
                rig.host.After(50, watch);
        };
        watch();
        c.start(rig);
        ASSERT_TRUE(rig.RunUntilReleased());
        EXPECT_TRUE(asked);
        EXPECT_FALSE(mayClose);
        EXPECT_EQ(rig.Boxes(), Lines{"QVD-Modul Kommunikation\r\rDatentransfer..."});
        EXPECT_TRUE(rig.PortOpen() && rig.form().alpha == 255);
        if (c.lastLine) { EXPECT_EQ(rig.Log().back(), c.lastLine); }
    }
}

TEST(SupervisorClose, ReleasesTheAdapterClosesThePortAndFadesOnce) {
    for (auto [type, sent] : {std::pair<uint8_t, Lines>{8, {"a0000", "<DF>"}}, {1, {"<DF>"}}}) {
        Rig rig(Rig::Connected, type);
        rig.Mark();
        std::vector<int> fade{255};
        rig.form().onChanged = [&] {
            if (fade.back() != rig.form().alpha) fade.push_back(rig.form().alpha);
        };
        rig.host.After(500, [&] { rig.host.CloseMainWindow(); });  // a second request during the close
        ASSERT_TRUE(rig.program->RequestClose());
        rig.host.RunFor(2000);
        EXPECT_EQ(rig.host.closeRequests, 1);
        Lines commands = rig.Sent();
        std::erase(commands, "r");  // polls falling due in the waits
        EXPECT_EQ(commands, sent) << int(type);
        EXPECT_FALSE(rig.PortOpen() || rig.form().pollTimer.Enabled());
        EXPECT_EQ(fade.back(), 85);
        EXPECT_TRUE(std::is_sorted(fade.rbegin(), fade.rend()));  // never brightens again
        EXPECT_TRUE(rig.host.messages.empty());
    }
}

}  // namespace
}  // namespace qvd::test
