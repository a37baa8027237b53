#include "core/form/MessageBox.h"
#include "core/module/AdapterInfo.h"
#include "link/ConnectedRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <map>
#include <set>

namespace qvd::test {
namespace {

const std::string kDialout = ": Benutzer muss Mitglied der Gruppe dialout sein.";

TEST(SupervisorStart, NoticeFirstThenBannerThenEnumerationTwoSecondsLater) {
    Rig rig;
    size_t logLinesAtNotice = 99;
    rig.host.onMessage = [&](const RecordedMessage&) { logLinesAtNotice = rig.form().Memo1.lines.size(); };
    const uint64_t t0 = rig.host.Time();
    rig.program->Start();

    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].title, "QVD-PC");
    EXPECT_EQ(rig.host.messages[0].text, kNoticeText);
    EXPECT_EQ(rig.host.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(logLinesAtNotice, 0u);
    const auto& log = rig.form().Memo1.lines;
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log.front(), "***********************");
    EXPECT_EQ(log[1], " QVD-PC Version  1.30");
    EXPECT_EQ(log.back(), "***********************");
    EXPECT_FALSE(rig.form().Button3.enabled);

    ASSERT_TRUE(rig.host.RunUntil([&] { return rig.LogContains("Suche alle COM..."); }, 5000));
    EXPECT_EQ(rig.host.Time() - t0, 2000u);
    ASSERT_TRUE(rig.host.RunUntil([&] { return rig.LogContains("Keine COM-Schnittstelle gefunden."); }, 5000));
    EXPECT_EQ(rig.host.Time() - t0, 2100u);
    EXPECT_EQ(rig.form().StatusPanel1.caption, "Keine COM-Schnittstelle gefunden.");
    EXPECT_TRUE(rig.form().Button3.enabled);
    EXPECT_TRUE(rig.form().Button1.enabled);
    EXPECT_FALSE(rig.form().Button5.enabled);
    EXPECT_EQ(rig.form().Timer1.Interval(), 1000u);
}

TEST(SupervisorStart, EnumerationNamesPresentPortsAndRefusedDevices) {
    struct Case {
        const char* name;
        std::function<void(Rig&)> setUp;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"ports 1 and 3",
         [](Rig& r) { r.AddAdapter(1); r.AddSilentPort(3); },
         {"Suche alle COM...", "Vorhanden: COM 1", "Vorhanden: COM 3", "OK"}},
        {"busy and refused ports",
         [](Rig& r) {
             r.ports.AddBusyPort(ComName(2));
             r.ports.AddRefusingPort(ComName(5), EACCES);
             r.ports.AddRefusingPort(ComName(6), EPERM);
             r.ports.AddRefusingPort(ComName(8), EIO);
             r.AddSilentPort(16);
         },
         {"Suche alle COM...", "Kein Zugriff auf COM5" + kDialout, "Kein Zugriff auf COM6" + kDialout,
          "Vorhanden: COM 16", "OK"}},
        {"only a refused port",
         [](Rig& r) { r.ports.AddRefusingPort(ComName(1), EACCES); },
         {"Suche alle COM...", "Kein Zugriff auf COM1" + kDialout, "Keine COM-Schnittstelle gefunden."}},
    };
    for (const Case& c : cases) {
        Rig rig;
        c.setUp(rig);
        rig.StartAndEnumerate();
        const size_t banner = 5;
        EXPECT_EQ(rig.LogSince(banner), c.log) << c.name;
        EXPECT_TRUE(rig.form().Button3.enabled) << c.name;
        EXPECT_TRUE(rig.form().Button1.enabled) << c.name;
        for (auto& [device, port] : rig.ports.ports()) EXPECT_FALSE(port.open) << c.name << " " << device;
        // Nothing is sent while looking.
        EXPECT_TRUE(rig.Received(1).empty()) << c.name;
    }
}

TEST(SupervisorPoll, CodesAreJudgedAsStrings) {
    enum Outcome { NoError, Resettable, FatalReset, NoModule };
    struct Case { std::string code; Outcome outcome; };
    const Case cases[] = {
        {"00", NoError}, {"40", NoError}, {"FF", NoError}, {"4A", NoError},
        {"20", Resettable}, {"3F", Resettable}, {"1F", FatalReset}, {"05", FatalReset},
        {"18", NoModule},
    };
    for (const Case& c : cases) {
        ConnectedRig rig;
        rig.form().SetLogColors(colors::Maroon, colors::Yellow);
        rig.device.faults.statusSequence = {c.code};
        const size_t sent = rig.device.received.size();
        ASSERT_TRUE(rig.Poll()) << c.code;
        const auto received = rig.Received(1, sent);
        const bool resetSent = std::count(received.begin(), received.end(), "z0001") > 0;
        const bool ackSent = std::count(received.begin(), received.end(), "w0001") > 0;
        EXPECT_EQ(resetSent, c.outcome == FatalReset) << c.code;
        EXPECT_EQ(ackSent, c.outcome == Resettable) << c.code;
        const bool connected = c.outcome == NoError || c.outcome == Resettable;
        EXPECT_EQ(rig.conn().state, connected ? ConnState::Connected : ConnState::Idle) << c.code;
        EXPECT_EQ(rig.PortOpen(), c.outcome != FatalReset) << c.code;
        EXPECT_EQ(rig.host.messages.empty(), connected) << c.code;
        if (c.outcome == NoError) {
            EXPECT_EQ(rig.form().StatusPanel1.caption, "OK") << c.code;
            EXPECT_EQ(rig.form().Memo1.color, colors::Green) << c.code;
            EXPECT_EQ(rig.form().Memo1.fontColor, colors::Lime) << c.code;
        } else {
            EXPECT_TRUE(rig.LogContains("FEHLER: " + StatusCodeText(c.code))) << c.code;
        }
    }
}

TEST(SupervisorPoll, MissingGameModuleStopsPollingButKeepsThePortAndUnlocks) {
    ConnectedRig rig;
    rig.device.faults.statusSequence = {"18"};
    ASSERT_TRUE(rig.Poll());
    EXPECT_TRUE(rig.LogContains("Fataler QVD-Modul-Fehler = 18"));
    EXPECT_FALSE(rig.LogContains("QVD-Modul-RESET wurde ausgeführt"));
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].title, kWindowCaption);
    EXPECT_EQ(rig.host.messages[0].text,
              "Fataler QVD-Modul-Fehler\r\rBW- oder NSM-Modul aufstecken und dann QVD-Modul einschalten.");
    EXPECT_EQ(rig.host.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(rig.form().Memo1.color, colors::Red);
    EXPECT_TRUE(rig.PortOpen());
    // No operation can be started that only a connected tick would release.
    EXPECT_TRUE(rig.OnlySearchOffered());
    const int polls = rig.device.polls;
    rig.host.RunFor(5000);
    EXPECT_EQ(rig.device.polls, polls);
}

TEST(SupervisorPoll, FatalErrorResetsTheAdapterAndDropsTheConnection) {
    ConnectedRig rig;
    rig.device.faults.statusSequence = {"05"};
    const size_t log = rig.LogSize();
    ASSERT_TRUE(rig.Poll());
    EXPECT_EQ(rig.LogSince(log), (std::vector<std::string>{
        "FEHLER: " + StatusCodeText("05"), "Fataler QVD-Modul-Fehler = 05", "QVD-Modul-RESET wurde ausgeführt"}));
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].text,
              "Fataler QVD-Modul-Fehler\r\rQVD-Modul-RESET wurde ausgeführt.\r\rBitte \"Neue Verbindung\" betätigen.");
    EXPECT_EQ(rig.device.received.back(), "z0001");
    EXPECT_FALSE(rig.PortOpen());
    EXPECT_FALSE(rig.form().GroupBox4.visible);
    EXPECT_FALSE(rig.form().Panel1.visible);
    EXPECT_EQ(rig.form().Height(), 247);
    EXPECT_TRUE(rig.OnlySearchOffered());
}

TEST(SupervisorPoll, SameResettableErrorAgainIsARepetition) {
    ConnectedRig rig;
    rig.device.faults.statusSequence = {"21"};
    const size_t log = rig.LogSize();
    ASSERT_TRUE(rig.Poll());
    EXPECT_EQ(rig.LogSince(log), (std::vector<std::string>{
        "FEHLER: " + StatusCodeText("21"), "QVD-Modul-Fehler (21) wurde zurückgesetzt.", "Bitte warten...", "OK"}));
    // Ticks falling due in the pause polled again, nested, and found no error.
    EXPECT_GE(rig.device.polls, 3);
    EXPECT_EQ(rig.form().StatusPanel1.caption, "OK");
    EXPECT_EQ(rig.conn().state, ConnState::Connected);
    EXPECT_TRUE(rig.host.messages.empty());

    rig.device.faults.statusSequence = {"21"};
    const size_t sent = rig.device.received.size();
    ASSERT_TRUE(rig.Poll());
    EXPECT_EQ(rig.Received(1, sent), (std::vector<std::string>{"r", "<DF>"}));
    EXPECT_TRUE(rig.LogContains("QVD-Modul: Fehlerwiederholung=21/21"));
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].text,
              "QVD-Modul: Fehlerwiederholung\r\rFehler wird nicht zurückgesetzt. QVD-Modul ab- und wieder anschließen.");
    EXPECT_EQ(rig.host.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(rig.conn().state, ConnState::Idle);
    EXPECT_TRUE(rig.PortOpen());
    EXPECT_TRUE(rig.OnlySearchOffered());
}

TEST(SupervisorPoll, RefusedErrorResetIsReportedAndTheConnectionStays) {
    ConnectedRig rig;
    rig.device.faults.refuseErrorReset = true;
    rig.device.faults.statusSequence = {"2A"};
    ASSERT_TRUE(rig.Poll());
    EXPECT_TRUE(rig.LogContains("! QVD-Modul: Fehler konnte nicht zurückgesetzt werden !"));
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].text, "QVD-Modul-Fehler\r\rFehler konnte nicht zurückgesetzt werden");
    EXPECT_EQ(rig.conn().state, ConnState::Connected);
    EXPECT_EQ(rig.conn().lastErrorCode, "2A");
}

TEST(SupervisorPoll, UnansweredPollsWarnTwiceThenGiveUp) {
    // x = unanswered poll, . = answered.
    struct Case { std::string polls; std::vector<std::string> warnings; bool dropped; };
    const std::string w1 = "Keine Kommunikation mit dem QVD-Modul (1). Erneuter Verbindungsaufbau folgt...";
    const std::string w2 = "Keine Kommunikation mit dem QVD-Modul (2). Erneuter Verbindungsaufbau folgt...";
    const std::string giveUp = "Kein erneuter Kommunikationsaufbau mit dem QVD-Modul möglich.";
    const Case cases[] = {
        {"xxx", {}, false},
        {"xxxx", {w1}, false},
        {"xxxxxx", {w1, w2, giveUp}, true},
        {"xxx.xxxx", {w1}, false},
        {"xxxx.xxxxx", {w1, w1, w2}, false},
    };
    for (const Case& c : cases) {
        ConnectedRig rig;
        const size_t log = rig.LogSize();
        const uint64_t start = rig.host.Time();
        for (char p : c.polls) {
            rig.device.faults.silent = p == 'x';
            ASSERT_TRUE(rig.Poll()) << c.polls;
        }
        EXPECT_EQ(rig.LogSince(log), c.warnings) << c.polls;
        EXPECT_EQ(rig.conn().state, c.dropped ? ConnState::Idle : ConnState::Connected) << c.polls;
        EXPECT_EQ(rig.PortOpen(), !c.dropped) << c.polls;
        if (!c.warnings.empty() && !c.dropped) {
            EXPECT_EQ(rig.form().Memo1.color, colors::Maroon) << c.polls;
            EXPECT_TRUE(rig.form().Button5.enabled) << c.polls;  // the warning's lock is released at once
        }
        if (c.dropped) {
            const uint64_t took = rig.host.Time() - start;
            EXPECT_GE(took, 6000u);
            EXPECT_LE(took, 6700u);
            ASSERT_EQ(rig.host.messages.size(), 1u);
            EXPECT_EQ(rig.host.messages[0].text,
                      "Keine Verbindung zum QVD-Modul\r\rVerbindungsleitung zwischen QVD-Modul und PC prüfen."
                      "\r\rAnschließend \"Neue Verbindung\" betätigen.");
            EXPECT_FALSE(rig.form().Panel1.visible);
            EXPECT_TRUE(rig.OnlySearchOffered());
        }
    }
}

TEST(SupervisorPoll, AnswerArrivingAfterADisconnectIsIgnored) {
    ConnectedRig rig;
    rig.device.faults.statusSequence = {"05"};
    // The user disconnects while the poll waits for its answer.
    rig.host.After(1020, [&] { rig.form().Button5.OnClick(); });
    ASSERT_TRUE(rig.Poll());
    rig.host.RunFor(2000);
    EXPECT_EQ(rig.conn().state, ConnState::Idle);
    EXPECT_TRUE(rig.LogContains("Verbindung zum QVD-Modul wurde getrennt"));
    EXPECT_FALSE(rig.LogContains("Fataler QVD-Modul-Fehler = 05"));
    EXPECT_TRUE(rig.host.messages.empty());
    EXPECT_EQ(rig.device.received.back(), "<DF>");
}

TEST(SupervisorDisconnect, ReleasesTheAdapterAndKeepsThePortOpen) {
    ConnectedRig rig;
    ASSERT_TRUE(rig.Poll());
    rig.form().Button5.OnClick();
    EXPECT_EQ(rig.device.received.back(), "<DF>");
    EXPECT_EQ(rig.conn().state, ConnState::Idle);
    EXPECT_TRUE(rig.PortOpen());
    EXPECT_EQ(rig.form().StatusPanel1.caption, "Verbindung zum QVD-Modul wurde getrennt");
    EXPECT_EQ(rig.form().Button3.caption, "QVD-BW suchen");
    EXPECT_EQ(rig.form().Height(), 247);
    EXPECT_FALSE(rig.form().Panel1.visible);
    EXPECT_FALSE(rig.form().GroupBox4.visible);
    EXPECT_TRUE(rig.OnlySearchOffered());
    const int polls = rig.device.polls;
    rig.host.RunFor(3000);
    EXPECT_EQ(rig.device.polls, polls);
}

TEST(SupervisorTransfer, TicksInTransferStatesGoToTheTransferAndDoNotPoll) {
    for (ConnState state : {ConnState::FileRead, ConnState::RamViewRead, ConnState::EpromViewRead}) {
        ConnectedRig rig;
        int transferTicks = 0;
        rig.program->supervisor.onTransferTick = [&] { ++transferTicks; };
        rig.conn().state = state;
        rig.host.RunFor(3050);
        EXPECT_EQ(transferTicks, 3) << int(state);
        EXPECT_EQ(rig.device.polls, 0) << int(state);
    }
}

TEST(SupervisorBusyLock, LockDisablesExactlyTheListAndTheNextTickReleasesIt) {
    for (bool adpOffered : {false, true}) {
        ConnectedRig rig;
        rig.form().adpSwitchOffered = adpOffered;
        rig.form().EnableControls(true);
        std::map<std::string, bool> before;
        for (Control* c : rig.form().Controls()) before[c->name] = c->enabled;
        before[rig.form().window.name] = rig.form().window.enabled;

        rig.form().EnableControls(false);  // an operation starts
        std::set<std::string> changed;
        for (Control* c : rig.form().Controls())
            if (c->enabled != before[c->name]) changed.insert(c->name);
        if (rig.form().window.enabled != before[rig.form().window.name]) changed.insert(rig.form().window.name);
        std::set<std::string> expected{
            "Button2", "Button4", "Button7", "Button30", "Button8", "Button12", "Button6", "Button9",
            "Button10", "Button11", "Button13", "Button14", "Button15", "Button16", "Button17", "Button18",
            "Button20", "Button21", "Button22", "GroupBox8", "Info1", "Extr", "Panel5", "TForm1",
            "Button3", "Button1", "Button5"};
        if (adpOffered) expected.insert("CheckBox14");
        EXPECT_EQ(changed, expected);
        EXPECT_FALSE(rig.form().Timer1.Enabled());
        EXPECT_EQ(rig.form().StatusBar2.color, colors::Yellow);

        rig.form().Timer1.SetEnabled(true);  // the operation ends
        rig.host.RunFor(999);
        EXPECT_FALSE(rig.form().window.enabled);
        ASSERT_TRUE(rig.Poll());
        for (Control* c : rig.form().Controls()) EXPECT_EQ(c->enabled, before[c->name]) << c->name;
        EXPECT_TRUE(rig.form().window.enabled);
        EXPECT_EQ(rig.form().CheckBox14.enabled, adpOffered);
        EXPECT_EQ(rig.form().StatusBar2.color, colors::MoneyGreen);
    }
}

}  // namespace
}  // namespace qvd::test
