#include "core/module/AdapterInfo.h"
#include "core/wire/StatusCodes.h"

#include <gtest/gtest.h>

namespace qvd {
namespace {

TEST(StatusCodeText, EveryRowAndTheReadingRule) {
    const std::pair<std::string, std::string> rows[] = {
        {"00", "CPU: RAM / EEPROM"}, {"01", "CPU: Watchdog"}, {"02", "CPU: Checksumme"}, {"03", "CPU: RAM-Test"},
        {"04", "CPU: Register-Test"}, {"05", "CPU: Sprungtest"}, {"06", "CPU: SPI-Test"},
        {"07", "CPU: Unterspannungseinbruch (Brown-Out)"},
        {"08", "Hardware: CPU-Versorgungsspannungseinbruch (Power-ON)"}, {"09", "CPU: Watchdog ausgelöst"},
        {"10", "CPU: Ablauftest nicht komplett"}, {"11", "CPU: Testablauf nicht komplett"},
        {"12", "CPU: EEPROM Schreibfehler"}, {"13", "CPU: ---"}, {"14", "CPU: Stackbereich Über-/Unterlauf"},
        {"15", "UART: kein Transfer"}, {"16", "UART: Byte nicht komplett gesendet"},
        {"17", "Hardware: Schieberegister 74HC595"}, {"18", "Kein BW- oder NSM-Modul gefunden"},
        {"19", "Code: Falsche Befehlsausführung"}, {"20", "UART: Rahmenfehler (Stoppbit)"},
        {"21", "UART: max. Byteanzahl beim Datenempfang überschritten"},
        {"22", "UART: Datenempfang Überlauf (Over Run)"}, {"23", "UART: Falscher Befehl erhalten"},
        {"24", "UART: PC --> µC, Daten nicht vollständig übertragen."},
        {"25", "UART: PC --> µC, Checksummefehler."},
        {"30", "Modul-RAM: Word-H-Nibble nicht korrekt abgespeichert"},
        {"31", "Modul-RAM: Word-L-Nibble nicht korrekt abgespeichert"},
        {"32", "Modul-RAM: Schreibvorgang: Checksummefehler"}, {"33", "Modul-RAM: RAM nicht komplett gelöscht"},
        {"34", "Modul-RTC Schreibvorgang: Checksummefehler"},
        {"35", "BW-Modul-Erkennung: RAM-Inhalt=00/FF, RAM wurde gelöscht?"},
        {"39", "RESET-Auslösung: über \"z\"-Befehl"}, {"FF", "OK"}, {"ff", "OK"},
        {"0a", ""}, {"1A", ""}, {"26", ""}, {"40", ""},  // read as hex, no row
        {"--", "CPU: RAM / EEPROM"}, {"", "CPU: RAM / EEPROM"},  // no hex digit: 00
        {"1-", "CPU: Watchdog"}, {"5G", "CPU: Sprungtest"},     // reading stops at the first other character
        {"FF1-0000", ""},                                       // more digits than a code: a value without row
    };
    for (const auto& [code, text] : rows) EXPECT_EQ(StatusCodeText(code), text) << code;
}

}  // namespace
}  // namespace qvd
