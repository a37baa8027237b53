#include "core/module/AdapterInfo.h"
#include "core/module/ModuleProfile.h"

#include <gtest/gtest.h>

namespace qvd {
namespace {

TEST(StatusCodeText, EveryRowAndTheReadingRule) {
    const std::pair<std::string, std::string> rows[] = {
        {"00", "CPU: RAM / EEPROM"},
        {"01", "CPU: Watchdog"},
        {"02", "CPU: Checksumme"},
        {"03", "CPU: RAM-Test"},
        {"04", "CPU: Register-Test"},
        {"05", "CPU: Sprungtest"},
        {"06", "CPU: SPI-Test"},
        {"07", "CPU: Unterspannungseinbruch (Brown-Out)"},
        {"08", "Hardware: CPU-Versorgungsspannungseinbruch (Power-ON)"},
        {"09", "CPU: Watchdog ausgelöst"},
        {"10", "CPU: Ablauftest nicht komplett"},
        {"11", "CPU: Testablauf nicht komplett"},
        {"12", "CPU: EEPROM Schreibfehler"},
        {"13", "CPU: ---"},
        {"14", "CPU: Stackbereich Über-/Unterlauf"},
        {"15", "UART: kein Transfer"},
        {"16", "UART: Byte nicht komplett gesendet"},
        {"17", "Hardware: Schieberegister 74HC595"},
        {"18", "Kein BW- oder NSM-Modul gefunden"},
        {"19", "Code: Falsche Befehlsausführung"},
        {"20", "UART: Rahmenfehler (Stoppbit)"},
        {"21", "UART: max. Byteanzahl beim Datenempfang überschritten"},
        {"22", "UART: Datenempfang Überlauf (Over Run)"},
        {"23", "UART: Falscher Befehl erhalten"},
        {"24", "UART: PC --> µC, Daten nicht vollständig übertragen."},
        {"25", "UART: PC --> µC, Checksummefehler."},
        {"30", "Modul-RAM: Word-H-Nibble nicht korrekt abgespeichert"},
        {"31", "Modul-RAM: Word-L-Nibble nicht korrekt abgespeichert"},
        {"32", "Modul-RAM: Schreibvorgang: Checksummefehler"},
        {"33", "Modul-RAM: RAM nicht komplett gelöscht"},
        {"34", "Modul-RTC Schreibvorgang: Checksummefehler"},
        {"35", "BW-Modul-Erkennung: RAM-Inhalt=00/FF, RAM wurde gelöscht?"},
        {"39", "RESET-Auslösung: über \"z\"-Befehl"},
        {"FF", "OK"},
        {"ff", "OK"},
        {"0a", ""},     // read as 0A, which has no row
        {"1A", ""},
        {"--", "CPU: RAM / EEPROM"},  // no hex digit: 00
        {"", "CPU: RAM / EEPROM"},
        {"1-", "CPU: Watchdog"},      // reading stops at the first other character
        {"5G", "CPU: Sprungtest"},
        {"FF1-0000", ""},             // more digits than a code: a value without row
        {"26", ""},
        {"40", ""},
    };
    for (const auto& [code, text] : rows) EXPECT_EQ(StatusCodeText(code), text) << code;
    EXPECT_EQ(StatusLine("0a"), "Status(0a) = ");
    EXPECT_EQ(StatusLine("FF"), "Status(FF) = OK");
}

TEST(AdapterReport, SlicesTolerateShortAnswers) {
    const std::string x80 = std::string(20, 'a') + std::string(20, 'b') + std::string(20, 'c') + std::string(20, 'd');
    EXPECT_EQ(ErrorMemoryLines(x80)[4], "Fehlercode 30...39: " + std::string(20, 'd'));
    const std::vector<std::string> dashes = ErrorMemoryLines("---");
    EXPECT_EQ(dashes[1], "Fehlercode 00...09: ---");
    EXPECT_EQ(dashes[2], "Fehlercode 10...19: ");
    EXPECT_EQ(dashes[4], "Fehlercode 30...39: ");
    EXPECT_EQ(ErrorMemoryLines("")[1], "Fehlercode 00...09: ");
    // The counters, in order and with their aligned labels.
    const std::vector<std::string> counters = CounterLines("111111222222333333444444555555");
    EXPECT_EQ(counters, (std::vector<std::string>{
                            "Zählerstände:", "RAM Lesezugriffe   : 111111", "RAM Schreibzugriffe: 222222",
                            "RTC Lesezugriffe   : 333333", "RTC Schreibzugriffe: 444444",
                            "EPROM Lesezugriffe : 555555"}));
    EXPECT_EQ(CounterLines("1234567")[2], "RAM Schreibzugriffe: 7");
    EXPECT_EQ(ErrorCodes1AtoFLine("1A1B1C1D1E1F"), "Fehlercode 1A...1F: 1A1B1C1D1E1F");
    // Bytes from the wire reach the window as Windows-1252 text.
    EXPECT_EQ(CounterLines("\xB5")[1], "RAM Lesezugriffe   : µ");
}

TEST(ModuleProfile, RowsAndFamilies) {
    struct Case { uint8_t type; bool row, bw, nsm; uint32_t ram, eprom; ClockLayout clock; };
    const Case cases[] = {
        {0, false, false, false, 0, 0, ClockLayout::None},
        {1, true, true, false, 65536, 524288, ClockLayout::Rtc},
        {2, true, false, true, 8184, 524288, ClockLayout::Timekeeper},
        {3, true, false, true, 8184, 262144, ClockLayout::Timekeeper},
        {4, true, true, false, 131072, 1048576, ClockLayout::Rtc},
        {5, true, true, false, 524288, 1048576, ClockLayout::Rtc},
        {6, false, false, false, 0, 0, ClockLayout::None},
        {7, false, false, false, 0, 0, ClockLayout::None},
        {8, true, false, false, 0, 0, ClockLayout::Adp},
        {9, false, false, false, 0, 0, ClockLayout::None},
        {255, false, false, false, 0, 0, ClockLayout::None},
    };
    for (const Case& c : cases) {
        const ModuleProfile* p = FindProfile(c.type);
        EXPECT_EQ(p != nullptr, c.row) << int(c.type);
        EXPECT_EQ(IsBw(c.type), c.bw) << int(c.type);
        EXPECT_EQ(IsNsm(c.type), c.nsm) << int(c.type);
        EXPECT_EQ(ClockLayoutOf(c.type), c.clock) << int(c.type);
        if (p) {
            EXPECT_EQ(p->ramImageSize, c.ram) << int(c.type);
            EXPECT_EQ(p->epromImageSize, c.eprom) << int(c.type);
            // Word-addressed modules hold two bytes per address, and their
            // cells are 16 bits wide.
            EXPECT_EQ(p->wordAddressed, c.bw);
            EXPECT_EQ(p->cellDigits, c.bw ? 4 : 2);
        }
    }
    // The RAM limit shown is one more than the last address of the image.
    EXPECT_EQ(FindProfile(4)->cellAddressCeiling + 1, FindProfile(4)->ramImageSize / 2);
    EXPECT_EQ(FindProfile(2)->cellAddressCeiling + 1, FindProfile(2)->ramImageSize);
    EXPECT_TRUE(FindProfile(8)->switchAdpOffAtClose);
}

}  // namespace
}  // namespace qvd
