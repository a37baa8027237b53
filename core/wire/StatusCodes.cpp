#include "core/wire/StatusCodes.h"

namespace qvd {

int StatusCodeValue(const std::string& code) {
    int value = 0;
    for (char c : code) {
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else break;
        value = value * 16 + digit;
        if (value > 0xFFFF) break;  // longer than any code; stay in range
    }
    return value;
}

std::string StatusCodeText(const std::string& code) {
    switch (StatusCodeValue(code)) {
        case 0x00: return "CPU: RAM / EEPROM";
        case 0x01: return "CPU: Watchdog";
        case 0x02: return "CPU: Checksumme";
        case 0x03: return "CPU: RAM-Test";
        case 0x04: return "CPU: Register-Test";
        case 0x05: return "CPU: Sprungtest";
        case 0x06: return "CPU: SPI-Test";
        case 0x07: return "CPU: Unterspannungseinbruch (Brown-Out)";
        case 0x08: return "Hardware: CPU-Versorgungsspannungseinbruch (Power-ON)";
        case 0x09: return "CPU: Watchdog ausgelöst";
        case 0x10: return "CPU: Ablauftest nicht komplett";
        case 0x11: return "CPU: Testablauf nicht komplett";
        case 0x12: return "CPU: EEPROM Schreibfehler";
        case 0x13: return "CPU: ---";
        case 0x14: return "CPU: Stackbereich Über-/Unterlauf";
        case 0x15: return "UART: kein Transfer";
        case 0x16: return "UART: Byte nicht komplett gesendet";
        case 0x17: return "Hardware: Schieberegister 74HC595";
        case 0x18: return "Kein BW- oder NSM-Modul gefunden";
        case 0x19: return "Code: Falsche Befehlsausführung";
        case 0x20: return "UART: Rahmenfehler (Stoppbit)";
        case 0x21: return "UART: max. Byteanzahl beim Datenempfang überschritten";
        case 0x22: return "UART: Datenempfang Überlauf (Over Run)";
        case 0x23: return "UART: Falscher Befehl erhalten";
        case 0x24: return "UART: PC --> µC, Daten nicht vollständig übertragen.";
        case 0x25: return "UART: PC --> µC, Checksummefehler.";
        case 0x30: return "Modul-RAM: Word-H-Nibble nicht korrekt abgespeichert";
        case 0x31: return "Modul-RAM: Word-L-Nibble nicht korrekt abgespeichert";
        case 0x32: return "Modul-RAM: Schreibvorgang: Checksummefehler";
        case 0x33: return "Modul-RAM: RAM nicht komplett gelöscht";
        case 0x34: return "Modul-RTC Schreibvorgang: Checksummefehler";
        case 0x35: return "BW-Modul-Erkennung: RAM-Inhalt=00/FF, RAM wurde gelöscht?";
        case 0x39: return "RESET-Auslösung: über \"z\"-Befehl";
        case 0xFF: return "OK";
        default: return "";
    }
}

}  // namespace qvd
