#include "core/module/Identification.h"
#include "support/Rig.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qvd::test {
namespace {

using Lines = std::vector<std::string>;

const std::string kDashes(50, '-');

// Start-up and enumeration done; the search is the next thing the user does.
struct SearchRig : Rig {
    size_t logMark = 0;
    void Search() {
        StartAndEnumerate();
        host.messages.clear();
        logMark = form().Memo1.lines.size();
        form().Button3.OnClick();
    }
    Lines Log() const { return LogSince(logMark); }
    bool Logged(const std::string& line) const {
        const Lines log = Log();
        return std::find(log.begin(), log.end(), line) != log.end();
    }
    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> texts;
        for (const auto& m : host.messages) texts.push_back(m.text);
        return texts;
    }
    bool ConnectedLayout() { return form().Height() == kConnectedHeight && form().Panel1.visible; }
};

TEST(AdapterSearch, WalksThePortsInOrderAndStopsAtTheAdapter) {
    SearchRig rig;
    rig.AddSilentPort(1);
    rig.AddSilentPort(2);
    rig.AddAdapter(3);
    rig.AddAdapter(5);  // never reached
    rig.Search();
    const Lines expected = {kDashes, "Suche QVD-Modul an COM1", kDashes, "Suche QVD-Modul an COM2",
                            kDashes, "Suche QVD-Modul an COM3", "QVD-Modul gefunden"};
    const Lines log = rig.Log();
    ASSERT_GE(log.size(), expected.size());
    EXPECT_EQ(Lines(log.begin(), log.begin() + static_cast<long>(expected.size())), expected);
    EXPECT_EQ(rig.form().StatusPanel0.caption, "COM: 3");
    EXPECT_EQ(rig.conn().state, ConnState::Connected);
    EXPECT_TRUE(rig.ConnectedLayout());
    EXPECT_EQ(rig.form().Button3.caption, "Neue Verbindung + Infos erneuern");
    EXPECT_TRUE(rig.Received(5).empty());
    // Each silent port saw the release byte and the probe, nothing else.
    EXPECT_EQ(rig.program->VaComm1.PortNum(), 3);
}

TEST(AdapterSearch, ProbeNeedsTheEchoAsFirstByte) {
    struct Case { std::string before, after; bool found; };
    const Case cases[] = {
        {"", "", true},
        {"", "\xF6\r\n", true},  // echo followed by more bytes
        {"x", "", false},        // anything before the echo
        {"\xDF", "", false},
    };
    for (const Case& c : cases) {
        SearchRig rig;
        auto& device = rig.AddAdapter(1);
        device.faults.garbageBeforeEcho = c.before;
        device.faults.extraAfterEcho = c.after;
        rig.Search();
        EXPECT_EQ(rig.Logged("QVD-Modul gefunden"), c.found) << c.before << "|" << c.after;
    }
}

TEST(AdapterSearch, IdentificationIsCheckedByPrefixAndVersion) {
    struct Case {
        std::string answer;
        bool connected;
        std::string logLine;  // expected in the log, if any
        std::string box;      // expected box, if any
    };
    const std::string tail = " Dipl.-Ing. K. Mayer SN:000815";
    const Case cases[] = {
        {"QVD-BW/NSM V1.20" + tail, true, "", ""},
        {"QVD-BW/NSM V2.00" + tail, true, "", ""},
        {"QVD-BW/NSM V1.19" + tail, false, "Nicht kompatible zum QVD-Modul: V1.19 ",
         "Diese QVD-PC-Version ist nicht Abwärtskompatibel zum QVD-Modul."},
        {"QVD-BW/NSM V0.99", false, "Nicht kompatible zum QVD-Modul: V0.99", ""},
        {"QVD-", false, "Nicht kompatible zum QVD-Modul: ", ""},
        // A device that is no QVD module is never called an old QVD version.
        {"ABC-BW/NSM V1.30" + tail, false, "", "Kein  QVD-Modul erkannt."},
        {"ABC-BW/NSM V1.10" + tail, false, "", "Kein  QVD-Modul erkannt."},
        {"", false, "", "Kein  QVD-Modul erkannt."},
    };
    for (const Case& c : cases) {
        SearchRig rig;
        auto& device = rig.AddAdapter(1);
        device.faults.replaceOnce["i"] = c.answer;
        rig.Search();
        EXPECT_EQ(rig.conn().state == ConnState::Connected, c.connected) << c.answer;
        if (!c.logLine.empty()) EXPECT_TRUE(rig.Logged(c.logLine)) << c.answer;
        if (!c.box.empty()) {
            ASSERT_FALSE(rig.host.messages.empty()) << c.answer;
            EXPECT_EQ(rig.host.messages.front().text, c.box);
            EXPECT_EQ(rig.host.messages.front().icon, MessageIcon::Warning);
            EXPECT_EQ(rig.host.messages.front().title, kWindowCaption);
        }
        if (!c.connected) {
            // A rejection ends the search: no further port, and it reports the failure.
            EXPECT_FALSE(rig.Logged("QVD-Modul gefunden"));
            EXPECT_EQ(rig.BoxTexts().back(),
                      "QVD-Modul NICHT gefunden.\r\rQVD-BW bitte einschalten und mit dem PC verbinden.");
        }
    }
}

TEST(AdapterSearch, UnsuccessfulSearchAlwaysSaysSo) {
    // Also the very first search after start-up, with the module type still 0.
    SearchRig rig;
    rig.AddSilentPort(2);
    rig.Search();
    EXPECT_EQ(rig.conn().moduleType, 0);
    EXPECT_TRUE(rig.Logged("QVD-Modul nicht gefunden."));
    EXPECT_EQ(rig.form().StatusPanel1.caption, "QVD-Modul nicht gefunden.");
    EXPECT_EQ(rig.form().Memo1.color, colors::Maroon);
    EXPECT_EQ(rig.form().Memo1.fontColor, colors::Yellow);
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].icon, MessageIcon::Warning);
    EXPECT_FALSE(rig.program->VaComm1.Active());
    EXPECT_EQ(rig.conn().state, ConnState::Idle);
    EXPECT_TRUE(rig.form().Button3.enabled);
    EXPECT_TRUE(rig.form().Button1.enabled);
    EXPECT_TRUE(rig.form().window.enabled);
    EXPECT_TRUE(rig.form().Timer1.Enabled());
}

TEST(AdapterSearch, ModulesWithoutProfileAreNotConnected) {
    struct Case { std::string status; uint8_t typeDigit; uint8_t type; std::string statusLine; };
    const Case cases[] = {
        {"18", 1, 0, "Status(18) = Kein BW- oder NSM-Modul gefunden"},
        {"FF", 6, 6, "Status(FF) = OK"},
        {"FF", 0, 0, "Status(FF) = OK"},
    };
    for (const Case& c : cases) {
        SearchRig rig;
        sim::DeviceConfig config;
        config.statusCode = c.status;
        config.moduleType = c.typeDigit;
        rig.AddAdapter(1, config);
        rig.Search();
        EXPECT_EQ(rig.conn().moduleType, c.type);
        const auto& info = rig.form().Memo2.lines;
        EXPECT_NE(std::find(info.begin(), info.end(), c.statusLine), info.end()) << c.statusLine;
        EXPECT_TRUE(rig.Logged("FEHLER: Kein angeschlossenes Modul definiert."));
        EXPECT_EQ(rig.form().Memo1.color, colors::Red);
        EXPECT_FALSE(rig.ConnectedLayout()) << c.statusLine;
        EXPECT_NE(rig.conn().state, ConnState::Connected);
        EXPECT_FALSE(rig.Logged("QVD-Modul nicht gefunden."));
        EXPECT_TRUE(rig.form().Button3.enabled);
    }
}

TEST(AdapterSearch, AdpModuleConnectsWithoutNameOrClock) {
    SearchRig rig;
    sim::DeviceConfig config;
    config.moduleType = 8;
    rig.AddAdapter(1, config);
    rig.Search();
    EXPECT_EQ(rig.conn().state, ConnState::Connected);
    EXPECT_EQ(rig.form().StatusPanel3.caption, "Kein Modul");
    const Lines sent = rig.Received(1);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "f"), 0);
    EXPECT_TRUE(rig.Logged("Modul Zeit & Datum: ---"));
    EXPECT_TRUE(rig.ConnectedLayout());
}

TEST(AdapterSearch, ModuleDisplayFollowsTheProfile) {
    struct Case {
        uint8_t type;
        std::string panel3, recognition, ramLimit, epromLimit;
        bool splitMenu, jumperMenu, adpSwitch;
        int cellLength;
    };
    const Case cases[] = {
        {1, "BW Modul", "BW-Modul erkannt", "max. RAM-Adr.: 008000h", "max. EPROM-Adr.: 040000h", false, false, false, 4},
        {2, "NSM Modul 25.x", "NSM-Modul-25.x erkannt", "max. RAM-Adr.: 001FF8h", "max. EPROM-Adr.: 080000h", false, true, false, 2},
        {3, "NSM Modul 25", "NSM-Modul-25 erkannt", "max. RAM-Adr.: 001FF8h", "max. EPROM-Adr.: 040000h", false, false, true, 2},
        {4, "BW Modul 2", "BW-Modul 2 erkannt", "max. RAM-Adr.: 010000h", "max. EPROM-Adr.: 080000h", true, false, false, 4},
        {5, "BW Modul 3", "BW-Modul 3 erkannt", "max. RAM-Adr.: 040000h", "max. EPROM-Adr.: 080000h", true, false, false, 4},
    };
    for (const Case& c : cases) {
        SearchRig rig;
        sim::DeviceConfig config;
        config.moduleType = c.type;
        rig.AddAdapter(1, config);
        rig.Search();
        EXPECT_EQ(rig.form().StatusPanel3.caption, c.panel3);
        EXPECT_TRUE(rig.Logged(c.recognition)) << int(c.type);
        EXPECT_EQ(rig.form().Label13.caption, c.ramLimit);
        EXPECT_EQ(rig.form().Label14.caption, c.epromLimit);
        EXPECT_EQ(rig.form().BW2EPROMaufteilen1.enabled, c.splitMenu) << int(c.type);
        EXPECT_EQ(rig.form().NSM1.enabled, c.jumperMenu) << int(c.type);
        EXPECT_EQ(rig.form().CheckBox14.enabled, c.adpSwitch) << int(c.type);
        EXPECT_EQ(rig.form().Edit11.maxLength, c.cellLength);
        EXPECT_EQ(rig.Logged("ACHTUNG: Beim NSM-12sek.-Modul, muss die Jumper-Einstellung beachtet "
                             "werden (siehe Hilfe)."),
                  c.type == 2);
        const Lines sent = rig.Received(1);
        EXPECT_EQ(std::count(sent.begin(), sent.end(), "f"), 1) << int(c.type);
    }
}

TEST(AdapterSearch, JumperMenuIsWithdrawnByTheNextSearch) {
    SearchRig rig;
    sim::DeviceConfig config;
    config.moduleType = 2;
    auto& device = rig.AddAdapter(1, config);
    rig.Search();
    ASSERT_TRUE(rig.form().NSM1.enabled);
    device.config.moduleType = 3;
    rig.form().Button3.OnClick();
    EXPECT_FALSE(rig.form().NSM1.enabled);
    EXPECT_TRUE(rig.form().CheckBox14.enabled);
}

TEST(AdapterSearch, InfoWindowCarriesTheReport) {
    SearchRig rig;
    sim::DeviceConfig config;
    config.errorMemory = "0102030405060708091011121314151617181920212223242526272829303132333435363738394X";
    config.errorMemory1A = "1A1B1C1D1E1F";
    config.counters = "000001000002000003000004000005";
    rig.AddAdapter(1, config);
    rig.Search();
    const Lines expected = {
        "Version/SN: QVD-BW/NSM V1.30 Dipl.-Ing. K. Mayer SN:000815",
        "Status(FF) = OK",
        "Fehlermeldungen:",
        "Fehlercode 00...09: 01020304050607080910",
        "Fehlercode 10...19: 11121314151617181920",
        "Fehlercode 20...29: 21222324252627282930",
        "Fehlercode 30...39: 3132333435363738394X",
        "Fehlercode 1A...1F: 1A1B1C1D1E1F",
        "Zählerstände:",
        "RAM Lesezugriffe   : 000001",
        "RAM Schreibzugriffe: 000002",
        "RTC Lesezugriffe   : 000003",
        "RTC Schreibzugriffe: 000004",
        "EPROM Lesezugriffe : 000005",
    };
    EXPECT_EQ(rig.form().Memo2.lines, expected);
    EXPECT_EQ(rig.form().Label22.caption, "QVD-BW/NSM V1.30  SN:000815");
    EXPECT_EQ(rig.form().StatusPanel1.caption.rfind("Modul Zeit & Datum: ", 0), 0u);
}

TEST(AdapterSearch, FailedReportExchangesShowDashesThenEmptyValues) {
    SearchRig rig;
    auto& device = rig.AddAdapter(1);
    device.faults.lengthDelta["x"] = -1;
    device.faults.lengthDelta["s"] = +2;
    rig.Search();
    const auto& info = rig.form().Memo2.lines;
    const auto at = [&](const std::string& label) {
        return std::find_if(info.begin(), info.end(),
                            [&](const std::string& l) { return l.rfind(label, 0) == 0; });
    };
    EXPECT_EQ(*at("Fehlercode 00...09: "), "Fehlercode 00...09: ---");
    EXPECT_EQ(*at("Fehlercode 10...19: "), "Fehlercode 10...19: ");
    EXPECT_EQ(*at("RAM Lesezugriffe   : "), "RAM Lesezugriffe   : ---");
    EXPECT_EQ(*at("EPROM Lesezugriffe : "), "EPROM Lesezugriffe : ");
    EXPECT_EQ(rig.conn().state, ConnState::Connected);  // no report failure drops the connection
}

TEST(AdapterSearch, FailureDuringIdentificationAbandonsOnlyThatPort) {
    // COM1's status answer fails (type digit unreadable): the port is given up
    // silently and the search goes on to the adapter on COM2.
    SearchRig rig;
    auto& first = rig.AddAdapter(1);
    first.faults.lengthDelta["r"] = -1;
    rig.AddAdapter(2);
    rig.Search();
    EXPECT_EQ(rig.form().StatusPanel0.caption, "COM: 2");
    EXPECT_EQ(rig.conn().state, ConnState::Connected);
    EXPECT_TRUE(rig.ConnectedLayout());

    // Alone, the same failure ends as not found, although COM1 was marked found.
    SearchRig alone;
    auto& only = alone.AddAdapter(1);
    only.faults.lengthDelta["r"] = -1;
    alone.Search();
    EXPECT_TRUE(alone.Logged("QVD-Modul nicht gefunden."));
    EXPECT_FALSE(alone.ConnectedLayout());
    EXPECT_NE(alone.conn().state, ConnState::Connected);
}

TEST(AdapterSearch, ServiceMarkingSetsTheFlagForGood) {
    struct Case { std::string serial; bool service; };
    const Case cases[] = {{"0815", false}, {"07Q3", true}, {"X123", true}, {"7Q30", false}};
    for (const Case& c : cases) {
        SearchRig rig;
        sim::DeviceConfig config;
        config.serial = c.serial;
        rig.AddAdapter(1, config);
        rig.Search();
        EXPECT_EQ(rig.conn().serviceAdapter, c.service) << c.serial;
    }
}

TEST(AdapterSearch, PasswordEntryHandedOverBeforeTheSearchIsDropped) {
    SearchRig rig;
    rig.AddAdapter(1);
    rig.program->password.Edit2.SetCaption("stale");
    rig.Search();
    EXPECT_EQ(rig.program->password.Edit2.caption, "");
}

TEST(AdapterSearch, ExtraFunctionsFollowTheModuleFamily) {
    struct Case { uint8_t type; bool rtcGroup, timekeeperGroup; };
    for (Case c : {Case{1, true, false}, Case{3, false, true}}) {
        SearchRig rig;
        sim::DeviceConfig config;
        config.moduleType = c.type;
        rig.AddAdapter(1, config);
        rig.form().CheckBox3.checked = true;
        rig.Search();
        EXPECT_EQ(rig.form().GroupBox2.visible, c.rtcGroup);
        EXPECT_EQ(rig.form().GroupBox3.visible, c.timekeeperGroup);
        EXPECT_TRUE(rig.form().GroupBox1.visible);
        EXPECT_TRUE(rig.form().Panel5.visible);
    }
}

TEST(AdapterSearch, WaitsAreNotShortenedByEarlyAnswers) {
    // A present port without adapter: settle 100, release 100, probe 50, close 300.
    SearchRig rig;
    rig.AddSilentPort(1);
    rig.StartAndEnumerate();
    const uint64_t start = rig.host.Time();
    rig.form().Button3.OnClick();
    const uint64_t took = rig.host.Time() - start;
    // 16 settle waits, one probed port, the close of the search's end.
    EXPECT_GE(took, 16 * 100u + 100 + 50 + 300);
    EXPECT_LE(took, 16 * 101u + 110 + 60 + 300 + 20);
}

TEST(Identification, FieldsOfTheAnswer) {
    EXPECT_EQ(WithoutAuthor("QVD-BW/NSM V1.30 Dipl.-Ing. K. Mayer SN:1"), "QVD-BW/NSM V1.30  SN:1");
    EXPECT_EQ(WithoutAuthor("abc Dipl.x"), "abc ");
    EXPECT_EQ(WithoutAuthor("no author"), "no author");
    EXPECT_EQ(CheckIdentification("QVD-"), IdentificationVerdict::TooOld);
    EXPECT_EQ(CheckIdentification("QVD-xxxxxxxx1.2"), IdentificationVerdict::TooOld);
    EXPECT_EQ(CheckIdentification("QVD-xxxxxxxx1.20"), IdentificationVerdict::Accepted);
    EXPECT_EQ(CheckIdentification("qvd-xxxxxxxx9.99"), IdentificationVerdict::NotQvd);
    EXPECT_FALSE(HasServiceMarking(""));
    EXPECT_FALSE(HasServiceMarking("Q3"));
}

}  // namespace
}  // namespace qvd::test
