#include "testkit/Rig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace qvd::test {
namespace {

const std::string kNotFoundBox = "QVD-Modul NICHT gefunden.\r\rQVD-BW bitte einschalten und mit dem PC verbinden.";

sim::DeviceConfig OfType(uint8_t type) {
    sim::DeviceConfig config;
    config.moduleType = type;
    return config;
}

TEST(AdapterSearch, WalksThePortsInOrderAndStopsAtTheAdapter) {
    Rig rig;
    rig.AddSilentPort(1), rig.AddSilentPort(2), rig.AddAdapter(3);
    rig.AddAdapter(5);  // never reached
    rig.program->password.handOverEdit.SetCaption("stale");  // an entry handed over before the search is dropped
    rig.Search();
    const std::string dashes(50, '-');
    const Lines expected = {dashes, "Suche QVD-Modul an COM1", dashes, "Suche QVD-Modul an COM2",
                            dashes, "Suche QVD-Modul an COM3", "QVD-Modul gefunden"};
    const Lines log = rig.Log();
    EXPECT_EQ(Lines(log.begin(), log.begin() + std::min(log.size(), expected.size())), expected);
    EXPECT_EQ(rig.form().portPanel.caption, "COM: 3");
    EXPECT_TRUE(rig.conn().state() == ConnState::Connected && rig.ConnectedLayout());
    EXPECT_EQ(rig.form().searchButton.caption, "Neue Verbindung + Infos erneuern");
    EXPECT_TRUE(rig.Received(5).empty());
    EXPECT_EQ(rig.program->password.handOverEdit.caption, "");
}

TEST(AdapterSearch, ProbeEchoAndIdentificationAreCheckedByPrefixVersionAndServiceMarking) {
    const std::string tail = " Dipl.-Ing. K. Mayer SN:00";
    const std::string ok = "QVD-BW/NSM V1.30" + tail + "0815";
    const std::string tooOld = "Diese QVD-PC-Version ist nicht Abwärtskompatibel zum QVD-Modul.";
    struct Case { std::string answer; bool found; std::string logLine, box; bool service = false;
                  std::string beforeEcho = {}, afterEcho = {}; };
    const Case cases[] = {
        {"QVD-BW/NSM V1.20" + tail + "0815", true, "", ""},
        {"QVD-BW/NSM V2.00" + tail + "07Q3", true, "", "", true}, {"QVD-BW/NSM V2.00" + tail + "X123", true, "", "", true},
        {"QVD-BW/NSM V2.00" + tail + "7Q30", true, "", ""},
        {"QVD-BW/NSM V1.19" + tail + "0815", false, "Nicht kompatible zum QVD-Modul: V1.19 ", tooOld},
        {"QVD-", false, "Nicht kompatible zum QVD-Modul: ", tooOld},
        // A device that is no QVD module is never called an old QVD version.
        {"ABC-BW/NSM V1.10" + tail + "0815", false, "", "Kein  QVD-Modul erkannt."}, {"", false, "", "Kein  QVD-Modul erkannt."},
        // The probe's echo must come first; more bytes may follow it.
        {ok, true, "", "", false, "", "\xF6\r\n"},
        {ok, false, "", "", false, "x"}, {ok, false, "", "", false, "\xDF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer + "|" + c.beforeEcho);
        Rig rig;
        auto& device = rig.AddAdapter(1);
        device.faults.replaceOnce["i"] = c.answer;
        device.faults.garbageBeforeEcho = c.beforeEcho;
        device.faults.extraAfterEcho = c.afterEcho;
        rig.Search();
        EXPECT_EQ(rig.conn().state() == ConnState::Connected, c.found);
        EXPECT_EQ(rig.conn().serviceAdapter(), c.service);
        EXPECT_TRUE(c.logLine.empty() || rig.LogHas(c.logLine));
        // A rejection ends the search and reports the failure.
        Lines boxes = c.box.empty() ? Lines{} : Lines{c.box};
        if (!c.found) boxes.push_back(kNotFoundBox);
        EXPECT_EQ(rig.Boxes(), boxes);
        for (const RecordedMessage& m : rig.host.messages) EXPECT_EQ(m.icon, MessageIcon::Warning);
    }
}

// Also the very first search after start-up, with the module type still 0,
// and one that gave up an adapter it had marked found.
TEST(AdapterSearch, UnsuccessfulSearchAlwaysSaysSo) {
    for (const bool givenUp : {false, true}) {
        SCOPED_TRACE(givenUp);
        Rig rig;
        if (givenUp) rig.AddAdapter(1).faults.lengthDelta["r"] = -1;  // no type digit
        else rig.AddSilentPort(2);
        rig.Search();
        EXPECT_TRUE(rig.LogHas("QVD-Modul nicht gefunden."));
        EXPECT_TRUE(rig.form().logMemo.color == colors::Maroon && rig.form().logMemo.fontColor == colors::Yellow);
        EXPECT_EQ(rig.Boxes(), Lines{kNotFoundBox});
        EXPECT_FALSE(rig.program->serialPort.Active() || rig.ConnectedLayout() || rig.conn().state() == ConnState::Connected);
        EXPECT_TRUE(rig.OnlySearchOffered() && rig.form().pollTimer.Enabled());
    }
}

TEST(AdapterSearch, ModulesWithoutProfileAreNotConnected) {
    struct Case { std::string status; uint8_t typeDigit, type; std::string statusLine; };
    const Case cases[] = {
        {"18", 1, 0, "Status(18) = Kein BW- oder NSM-Modul gefunden"},
        {"FF", 6, 6, "Status(FF) = OK"},
        {"FF", 0, 0, "Status(FF) = OK"},
    };
    for (const Case& c : cases) {
        Rig rig;
        sim::DeviceConfig config = OfType(c.typeDigit);
        config.statusCode = c.status;
        rig.AddAdapter(1, config);
        rig.Search();
        EXPECT_EQ(rig.conn().moduleType(), c.type);
        EXPECT_TRUE(Has(rig.form().infoMemo.lines, c.statusLine)) << c.statusLine;
        EXPECT_TRUE(rig.LogHas("FEHLER: Kein angeschlossenes Modul definiert."));
        EXPECT_FALSE(rig.LogHas("QVD-Modul nicht gefunden."));
        EXPECT_FALSE(rig.ConnectedLayout() || rig.conn().state() == ConnState::Connected) << c.statusLine;
        EXPECT_TRUE(rig.form().searchButton.enabled);
    }
}

// What the search shows and offers for each kind of module; for the adp
// module no name, no clock read and neither register group.
TEST(AdapterSearch, ModuleDisplayFollowsTheProfile) {
    enum Offer { Nothing, Split, Jumper, AdpSwitch };
    struct Case { uint8_t type; Lines panels; std::string logLine; Offer offer; std::pair<bool, bool> rtcTimekeeper; int clockReads, cellLength; };
    const Case cases[] = {
        {1, {"BW Modul", "max. RAM-Adr.: 008000h", "max. EPROM-Adr.: 040000h"}, "BW-Modul erkannt", Nothing, {true, false}, 1, 4},
        {2, {"NSM Modul 25.x", "max. RAM-Adr.: 001FF8h", "max. EPROM-Adr.: 080000h"}, "NSM-Modul-25.x erkannt", Jumper, {false, true}, 1, 2},
        {3, {"NSM Modul 25", "max. RAM-Adr.: 001FF8h", "max. EPROM-Adr.: 040000h"}, "NSM-Modul-25 erkannt", AdpSwitch, {false, true}, 1, 2},
        {4, {"BW Modul 2", "max. RAM-Adr.: 010000h", "max. EPROM-Adr.: 080000h"}, "BW-Modul 2 erkannt", Split, {true, false}, 1, 4},
        {8, {"Kein Modul", "max. RAM-Adr.:", "max. EPROM-Adr.:"}, "Modul Zeit & Datum: ---", Nothing, {false, false}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.type));
        Rig rig;
        rig.AddAdapter(1, OfType(c.type));
        rig.form().extraFunctionsCheck.checked = true;  // "Zusatzfunktionen"
        rig.Search();
        MainForm& f = rig.form();
        EXPECT_EQ(Lines({f.moduleNamePanel.caption, f.ramLimitLabel.caption, f.epromLimitLabel.caption}), c.panels);
        EXPECT_TRUE(rig.LogHas(c.logLine));
        EXPECT_EQ(rig.LogHas("ACHTUNG: Beim NSM-12sek.-Modul, muss die Jumper-Einstellung beachtet werden "
                             "(siehe Hilfe)."),
                  c.offer == Jumper);
        EXPECT_EQ(std::vector<bool>({f.splitEpromItem.enabled, f.jumperHelpItem.enabled, f.adpSwitchCheck.enabled}),
                  std::vector<bool>({c.offer == Split, c.offer == Jumper, c.offer == AdpSwitch}));
        if (c.cellLength) { EXPECT_EQ(f.cellValueEdit.maxLength, c.cellLength); }
        const Lines sent = rig.Received(1);
        EXPECT_EQ(std::count(sent.begin(), sent.end(), "f"), c.clockReads);
        EXPECT_TRUE(rig.ConnectedLayout() && f.rangeGroup.visible && f.ramClearButton.visible && f.cellPanel.visible);
        EXPECT_EQ(std::pair(f.rtcGroup.visible, f.timekeeperGroup.visible), c.rtcTimekeeper);
    }
}

// The jumper help and the service marking belong to the adapter of the last search.
TEST(AdapterSearch, WhatTheLastSearchFoundIsWithdrawnByTheNext) {
    Rig rig;
    auto& device = rig.AddAdapter(1, OfType(2));
    device.config.serial = "07Q3";
    rig.Search();
    ASSERT_TRUE(rig.form().jumperHelpItem.enabled && rig.conn().serviceAdapter());
    device.config.moduleType = 3;
    device.config.serial = "0815";
    rig.form().searchButton.OnClick();
    EXPECT_FALSE(rig.form().jumperHelpItem.enabled);
    EXPECT_TRUE(rig.form().adpSwitchCheck.enabled);
    EXPECT_FALSE(rig.conn().serviceAdapter());
}

TEST(AdapterSearch, InfoWindowCarriesTheReportAndFailedExchangesShowDashesThenEmptyValues) {
    Rig rig;
    sim::DeviceConfig config;
    config.errorMemory = "0102030405060708091011121314151617181920212223242526272829303132333435363738394X";
    config.errorMemory1A = "1A1B1C1D1E1F";
    config.counters = "00000100000200000300000400000\xB5";  // wire bytes reach the window as Windows-1252
    auto& device = rig.AddAdapter(1, config);
    rig.Search();
    Lines expected = {
        "Version/SN: QVD-BW/NSM V1.30 Dipl.-Ing. K. Mayer SN:000815", "Status(FF) = OK",
        "Fehlermeldungen:", "Fehlercode 00...09: 01020304050607080910", "Fehlercode 10...19: 11121314151617181920",
        "Fehlercode 20...29: 21222324252627282930", "Fehlercode 30...39: 3132333435363738394X",
        "Fehlercode 1A...1F: 1A1B1C1D1E1F",
        "Zählerstände:", "RAM Lesezugriffe   : 000001", "RAM Schreibzugriffe: 000002",
        "RTC Lesezugriffe   : 000003", "RTC Schreibzugriffe: 000004", "EPROM Lesezugriffe : 00000µ",
    };
    EXPECT_EQ(rig.form().infoMemo.lines, expected);
    EXPECT_EQ(rig.form().identificationLabel.caption, "QVD-BW/NSM V1.30  SN:000815");

    device.faults.lengthDelta = {{"x", -1}, {"s", +2}};
    rig.form().searchButton.OnClick();
    // The first slice of a failed answer shows its "---", the others nothing.
    for (size_t i : {3, 4, 5, 6, 9, 10, 11, 12, 13})
        expected[i] = expected[i].substr(0, expected[i].find(": ") + 2) + (i == 3 || i == 9 ? "---" : "");
    EXPECT_EQ(rig.form().infoMemo.lines, expected);
    EXPECT_EQ(rig.conn().state(), ConnState::Connected);  // no report failure drops the connection
}

// An unreadable status answer (no type digit), or an adapter that vanishes
// after any step of the identification, gives up its port silently; the
// search goes on to the good adapter on COM2 (alone: UnsuccessfulSearchAlwaysSaysSo).
TEST(AdapterSearch, FailureDuringIdentificationAbandonsOnlyThatPort) {
    for (const char* lostAfter : {"", "i", "r", "f", "x", "s"}) {
        SCOPED_TRACE(lostAfter);
        Rig rig;
        sim::QvdDevice& first = rig.AddAdapter(1);
        first.config.serial = "07Q3";
        if (!*lostAfter) first.faults.lengthDelta["r"] = -1;
        rig.AddAdapter(2);
        std::function<void()> watch = [&] {
            if (!first.received.empty() && first.received.back() == lostAfter) rig.ports.Unplug("COM1");
            else rig.host.After(1, watch);
        };
        rig.StartAndEnumerate();
        if (*lostAfter) rig.host.After(1, watch);
        rig.form().searchButton.OnClick();
        EXPECT_EQ(rig.form().portPanel.caption, "COM: 2");
        EXPECT_TRUE(rig.conn().state() == ConnState::Connected && rig.ConnectedLayout());
        EXPECT_FALSE(rig.conn().serviceAdapter());
        // The info window (and the status file made from it) tells of COM2 alone.
        const Lines& info = rig.form().infoMemo.lines;
        EXPECT_EQ(std::count_if(info.begin(), info.end(), [](auto& l) { return l.starts_with("Version/SN: "); }), 1);
        EXPECT_TRUE(std::none_of(info.begin(), info.end(), [](auto& l) { return l.find("07Q3") != l.npos; }));
    }
}

}  // namespace
}  // namespace qvd::test
