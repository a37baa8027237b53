// Views, single cells, the EPROM split and join, and the RAM comparison,
// driven through the window against the virtual adapter.
#include "testkit/ScratchDir.h"
#include "testkit/Rig.h"

#include <gtest/gtest.h>

#include <functional>

namespace qvd::test {
namespace {


// What went to the adapter, without the polls that fall due meanwhile.
Lines Commands(Rig& rig) {
    Lines sent = rig.Sent();
    std::erase(sent, "r");
    return sent;
}

size_t CountLinesStarting(const Lines& lines, const std::string& start) {
    return std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(start); });
}

TEST(HexView, RangeReadSendsTheFieldsAsTypedBelowAHeader) {
    Rig rig(Rig::Connected, 4);
    MainForm& f = rig.form();
    f.rangeStartEdit.SetText("00a0");
    f.rangeEndEdit.SetText("00a1");
    rig.Mark();
    f.epromRangeButton.OnClick();
    ASSERT_TRUE(rig.RunUntilReleased());
    const Lines sent = Commands(rig);
    ASSERT_GE(sent.size(), 4u);
    EXPECT_EQ((Lines{sent.begin(), sent.begin() + 4}), (Lines{"d0001", "o00a0", "p00a1", "j"}));
    ASSERT_EQ(f.epromView.lines.size(), 1u + 256 / 16);  // below the header
    EXPECT_EQ(f.epromView.lines[0], "****************** EPROM-Teilbereich (00a000h...00a100h): *************************");

    // A field of two characters: both red, nothing sent.
    f.rangeStartEdit.SetText("00");
    rig.Mark();
    f.ramRangeButton.OnClick();
    EXPECT_TRUE(rig.Sent().empty());
    EXPECT_EQ(f.rangeStartEdit.color, colors::Red);
    EXPECT_EQ(f.rangeEndEdit.color, colors::Red);
}

// The dump has no length, but its lines carry their addresses: a view that
// stops early, or that shows another range than its header (the adapter
// missed the "o"), says so and keeps what came, a last line without its CR
// included.
TEST(HexView, ViewThatIsNotTheOneAskedForSaysSo) {
    struct Case {
        const char* name;
        Control& (*button)(MainForm&);
        size_t cutAt;  // 0: whole
        bool startLost;
        std::string verdict;
        size_t lines = 0, shownBytes = 0;  // 0: not counted
    };
    auto whole = [](MainForm& f) -> Control& { return f.ramViewAllButton; };
    auto range = [](MainForm& f) -> Control& { return f.ramRangeButton; };
    const Case cases[] = {
        {"whole", whole, 0, false, "Übertragung erfolgreich beendet. Gesamtbyte:", 512},  // 8184 cells, 16 a line
        {"whole, cut", whole, 3000, false, "Übertragung NICHT vollständig. Gesamtbyte:3000", 0, 3000},
        {"whole, cut in the second line", whole, 100, false, "Übertragung NICHT vollständig. Gesamtbyte:100", 2},
        {"range, start lost", range, 0, true,
         "Übertragung NICHT korrekt: Adressen abweichend vom angeforderten Bereich. Gesamtbyte:"},
        {"range, cut", range, 1000, false, "Übertragung NICHT vollständig. Gesamtbyte:1000"},
        {"range, whole", range, 0, false, "Übertragung erfolgreich beendet. Gesamtbyte:", 1 + 4 * 256 / 16},  // and the header
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(Rig::Connected, 3);
        MainForm& f = rig.form();
        f.rangeStartEdit.SetText("0010");
        f.rangeEndEdit.SetText("0014");
        if (c.cutAt) rig.device->faults.stream = {sim::StreamFault::Kind::Cut, c.cutAt};
        if (c.startLost) rig.device->faults.loseOnce.insert("o0010");
        bool redWhileStreaming = false;
        f.onChanged = [&] { redWhileStreaming |= f.activityIndicator.color == colors::Red && !f.ramView.lines.empty(); };
        rig.Mark();
        c.button(f).OnClick();
        ASSERT_TRUE(rig.RunUntilReleased());
        ASSERT_TRUE(rig.LogStartsWith(c.verdict));
        EXPECT_EQ(rig.LogStartsWith("Übertragung erfolgreich"), c.verdict.starts_with("Übertragung erfolgreich"));
        EXPECT_TRUE(redWhileStreaming);
        EXPECT_EQ(f.activityIndicator.color, colors::Navy);
        EXPECT_GT(f.ramView.lines.size(), 1u);  // what came stays
        if (c.lines) { EXPECT_EQ(f.ramView.lines.size(), c.lines); }
        size_t shown = 0;
        for (const std::string& line : f.ramView.lines) {
            EXPECT_EQ(line.find('\r'), line.npos);
            shown += line.size() + 1;
        }
        if (c.shownBytes) { EXPECT_EQ(shown - 1, c.shownBytes); }  // every byte but the CRs of the whole lines
        EXPECT_EQ(Commands(rig).front(), "d0001");
        EXPECT_EQ(Commands(rig).back(), "d0000");
    }
}

TEST(HexView, SavedViewHasOneCrLfPerLine) {
    Rig rig(Rig::Connected, 3);
    MainForm& f = rig.form();
    f.epromView.AddLine("000000: AB CD");
    f.epromView.AddLine("Äquator");
    ScratchDir dir;
    rig.host.saveAnswers.push_back(dir / "view.txt");
    f.epromViewSaveButton.OnClick();
    EXPECT_EQ(ReadFile(dir / "view.txt"), "000000: AB CD\r\n\xC4quator\r\n");
    EXPECT_EQ(rig.form().logMemo.lines.back(), "EPROM-Ansicht-Inhalt gespeichert unter: " + (dir / "view.txt").string());
}

// A word write: the real window run.
TEST(SingleCell, ByteWriteIsReadBackHalfAWordIsNotSent) {
    for (auto [type, value, sent] : {std::tuple<uint8_t, const char*, bool>{3, "41", true}, {1, "12", false}}) {
        Rig rig(Rig::Connected, type);
        MainForm& f = rig.form();
        f.cellAddressEdit.SetText("000010");
        f.cellValueEdit.caption = value;  // as if typed past the length the search set
        rig.Mark();
        f.cellWriteButton.OnClick();
        ASSERT_TRUE(rig.RunUntilReleased());
        EXPECT_EQ(!rig.Sent().empty(), sent) << value;
        if (!sent) continue;
        EXPECT_EQ(rig.Log().back(), "RAM-Zelle OK ");
        EXPECT_EQ(f.cellValueEdit.color, colors::Red);
        EXPECT_EQ(f.cellCharsLabel.fontColor, colors::Green);
        EXPECT_EQ(Commands(rig).back(), "d0000");
    }
}

TEST(SingleCell, ReadShowsValueAndCharactersInOliveAReadBackOfAnotherValueIsAnError) {
    Rig rig(Rig::Connected, 1);
    rig.device->config.ram[0x10 * 2] = 'A';
    rig.device->config.ram[0x10 * 2 + 1] = 'B';
    MainForm& f = rig.form();
    f.cellAddressEdit.SetText("000010");
    f.cellReadButton.OnClick();
    EXPECT_EQ(f.cellValueEdit.caption, "4142");
    EXPECT_EQ(f.cellCharsLabel.caption, "AB");
    EXPECT_EQ(f.cellValueEdit.color, colors::Olive);
    EXPECT_EQ(f.cellCharsLabel.fontColor, colors::Olive);
    EXPECT_EQ(CountLinesStarting(f.logMemo.lines, "RAM-Zelle ausgelesen: c0000104142 AB"), 1u);

    rig.device->faults.replaceOnce["c"] = "c00001012AC \x12\xAC\r";
    f.cellValueEdit.SetText("12AB");
    f.cellWriteButton.OnClick();
    // The answer is logged as received, its CR included.
    EXPECT_EQ(CountLinesStarting(f.logMemo.lines, "RAM-Zelle FEHLER: c00001012AC"), 1u);
    EXPECT_EQ(f.logMemo.color, colors::Red);
    EXPECT_EQ(f.cellValueEdit.caption, "12AB");
}

// The adapter missed the low address part: its answer names another cell,
// the one it wrote. Neither the write nor the read may call that this cell.
TEST(SingleCell, AnswerForAnotherAddressIsAnError) {
    for (bool write : {true, false}) {
        SCOPED_TRACE(write);
        Rig rig(Rig::Connected, 1);
        MainForm& f = rig.form();
        f.cellAddressEdit.SetText("000010");
        f.cellValueEdit.SetText("4142");
        rig.device->faults.loseOnce.insert("p0010");
        (write ? f.cellWriteButton : f.cellReadButton).OnClick();
        ASSERT_TRUE(rig.RunUntilReleased());
        EXPECT_EQ(CountLinesStarting(f.logMemo.lines, "RAM-Zelle FEHLER: c000000"), 1u);
        EXPECT_FALSE(rig.LogHas("RAM-Zelle OK ") || rig.LogStartsWith("RAM-Zelle ausgelesen"));
    }
}

TEST(SingleCell, ArrowsStepTheFieldAndAWrappedAddressIsRefused) {
    Rig rig(Rig::Connected, 8);  // no ceiling
    MainForm& f = rig.form();
    f.cellAddressEdit.SetText("000000");
    f.cellAddressArrows.OnStep(-1);
    EXPECT_EQ(f.cellAddressEdit.caption, "FFFFFFFF");  // the model keeps what the widget cuts
    rig.Mark();
    f.cellReadButton.OnClick();
    EXPECT_TRUE(rig.Sent().empty());
    EXPECT_EQ(f.cellAddressEdit.color, colors::Red);
}

TEST(EpromFiles, SplitAndJoinGiveBackTheImageAWrongSizeCreatesNothing) {
    Rig rig(Rig::Connected, 4);
    ScratchDir dir;
    rig.host.openAnswers.push_back(dir.Write("short.hex", std::string((1 << 20) - 1, 'x')));
    rig.form().splitEpromItem.OnClick();
    EXPECT_TRUE(rig.LogHas("Dateifehler: Abweichende Byteanzahl"));
    EXPECT_EQ(dir.EntryCount(), 1u);

    std::string image(1 << 20, '\0');
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i ^ (i >> 8));
    rig.host.openAnswers.push_back(dir.Write("bw.hex", image));
    rig.form().splitEpromItem.OnClick();
    EXPECT_EQ(rig.form().logMemo.lines.back(), "OK");
    rig.host.openAnswers.push_back(dir / "bw_odd.hex");
    rig.host.openAnswers.push_back(dir / "bw_even.hex");
    rig.host.saveAnswers.push_back(dir / "joined.hex");
    rig.form().joinEpromItem.OnClick();
    EXPECT_EQ(rig.form().logMemo.lines.back(), "OK");
    EXPECT_TRUE(ReadFile(dir / "joined.hex") == image);  // which half holds which bytes: the session fuzzer
    ASSERT_TRUE(rig.RunUntilReleased());
}

// Equal and differing byte cells: the real window run.
TEST(RamComparison, NamesTheFirstDifferenceInWordCells) {
    Rig rig(Rig::Connected, 1);
    ScratchDir dir;
    std::string file = rig.device->config.ram;
    rig.device->config.ram[0x21] = '\x5A';
    file[0x21] = '\x55';
    file[0x400] = static_cast<char>(file[0x400] ^ 0x01);
    rig.host.openAnswers.push_back(dir.Write("ram.dat", file));
    rig.form().compareRamItem.OnClick();
    ASSERT_TRUE(rig.RunUntilReleased());
    EXPECT_EQ(rig.form().logMemo.lines.back(),
              "RAM und Datei verschieden: 2 Byte abweichend, erste Abweichung bei Adresse 000010 (RAM: 5A, Datei: 55)");
}

}  // namespace
}  // namespace qvd::test
