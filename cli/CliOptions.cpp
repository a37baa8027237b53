#include "cli/CliOptions.h"

#include "core/memory/CellAccess.h"

#include <cctype>
#include <cstdio>

namespace qvd::cli {

namespace {

bool AllHex(const std::string& text) {
    if (text.empty()) return false;
    for (const char c : text)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

bool AllDigits(const std::string& text, size_t count) {
    if (text.size() != count) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// YYYY-MM-DDTHH:MM within what the module clock holds (20YY).
std::optional<ClockSetting> ParseClockSetting(const std::string& text) {
    if (text == "now") return ClockSetting{true};
    if (text.size() != 16 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':') return std::nullopt;
    const auto number = [&](size_t at, size_t count) -> std::optional<int> {
        const std::string part = text.substr(at, count);
        if (!AllDigits(part, count)) return std::nullopt;
        return std::stoi(part);
    };
    const auto year = number(0, 4), month = number(5, 2), day = number(8, 2), hour = number(11, 2),
               minute = number(14, 2);
    if (!year || !month || !day || !hour || !minute) return std::nullopt;
    if (*year < 2000 || *year > 2099 || *month < 1 || *month > 12 || *day < 1 || *day > 31 || *hour > 23 ||
        *minute > 59)
        return std::nullopt;
    return ClockSetting{false, *year, *month, *day, *hour, *minute};
}

std::optional<int> ParsePortNumber(const std::string& text) {
    if (text.empty() || text.size() > 2 || !AllDigits(text, text.size())) return std::nullopt;
    const int n = std::stoi(text);
    if (n < 1 || n > 16) return std::nullopt;
    return n;
}

// The arguments of the command, checked as the window's fields would take
// them; the error text, empty when they are good.
std::string CheckArguments(Options& o) {
    const CommandInfo& info = InfoOf(*o.command);
    const int count = static_cast<int>(o.args.size());
    if (count < info.minArgs || count > info.maxArgs || (*o.command == Command::View && count == 2))
        return std::string(info.name) + ": erwartet " + (info.arguments[0] ? info.arguments : "keine Argumente") +
               ", erhalten: " + std::to_string(count) + " Argument(e)";
    switch (*o.command) {
        case Command::View: {
            if (o.args[0] != "ram" && o.args[0] != "eprom") return "view: ram oder eprom erwartet, nicht \"" + o.args[0] + "\"";
            o.viewEprom = o.args[0] == "eprom";
            if (count == 3) {
                for (size_t i = 1; i < 3; ++i)
                    if (o.args[i].size() != 4 || !AllHex(o.args[i]))
                        return std::string("view: ") + (i == 1 ? "START" : "END") +
                               " muss genau vier Hex-Ziffern haben, nicht \"" + o.args[i] + "\"";
                o.viewRange.emplace(o.args[1], o.args[2]);
            }
            break;
        }
        case Command::CellRead:
        case Command::CellWrite:
            if (!CellAddressValid(o.args[0]))
                return "Adresse muss genau sechs Hex-Ziffern haben, nicht \"" + o.args[0] + "\"";
            if (*o.command == Command::CellWrite && ((o.args[1].size() != 2 && o.args[1].size() != 4) || !AllHex(o.args[1])))
                return "Wert muss zwei (NSM) oder vier (BW) Hex-Ziffern haben, nicht \"" + o.args[1] + "\"";
            break;
        case Command::ClockSet:
            o.clockSetting = ParseClockSetting(o.args[0]);
            if (!o.clockSetting)
                return "clock-set: now oder YYYY-MM-DDTHH:MM (Jahr 2000 bis 2099) erwartet, nicht \"" + o.args[0] + "\"";
            break;
        default:
            for (const std::string& arg : o.args)
                if (arg.empty()) return std::string(info.name) + ": leerer Dateiname";
            break;
    }
    return {};
}

}  // namespace

const std::vector<CommandInfo>& Commands() {
    static const std::vector<CommandInfo> commands = {
        {Command::Find, "find", "", "QVD-Modul suchen und erkennen; Port, Adapter, Modul, Uhrzeit ausgeben", 0, 0, true},
        {Command::Info, "info", "", "QVD-Modul-Info's ausgeben (Version, Status, Fehlerspeicher, Zähler)", 0, 0, true},
        {Command::Status, "status", "DATEI", "Status + QVD-Info's in DATEI speichern", 1, 1, true},
        {Command::RamSave, "ram-save", "DATEI", "RAM-Inhalt in DATEI speichern und prüfen", 1, 1, true},
        {Command::EpromSave, "eprom-save", "DATEI", "EPROM-Inhalt in DATEI speichern und prüfen", 1, 1, true},
        {Command::RamRestore, "ram-restore", "DATEI", "RAM-Inhalt aus DATEI laden (mit Rückfrage)", 1, 1, true},
        {Command::RamClear, "ram-clear", "", "RAM löschen (mit Rückfrage)", 0, 0, true},
        {Command::RamCompare, "ram-compare", "DATEI", "RAM mit DATEI vergleichen", 1, 1, true},
        {Command::View, "view", "ram|eprom [START END]", "RAM- oder EPROM-Inhalt als Text, gesamt oder Teilbereich", 1, 3, true},
        {Command::CellRead, "cell-read", "ADR", "RAM-Zelle ADR (sechs Hex-Ziffern) lesen", 1, 1, true},
        {Command::CellWrite, "cell-write", "ADR WERT", "RAM-Zelle ADR auf WERT setzen und zurücklesen", 2, 2, true},
        {Command::Clock, "clock", "", "Zeit & Datum des Moduls abrufen", 0, 0, true},
        {Command::ClockSet, "clock-set", "now|YYYY-MM-DDTHH:MM", "Zeit & Datum des Moduls setzen (now: PC-Zeit)", 1, 1, true},
        {Command::Split, "split", "DATEI", "BW2-EPROM DATEI in _odd und _even aufteilen (ohne Adapter)", 1, 1, false},
        {Command::Join, "join", "ODD EVEN AUS", "BW2-EPROM-Hälften zusammenfügen (ohne Adapter)", 3, 3, false},
    };
    return commands;
}

const CommandInfo* FindCommand(const std::string& name) {
    for (const CommandInfo& info : Commands())
        if (name == info.name) return &info;
    return nullptr;
}

const CommandInfo& InfoOf(Command command) {
    for (const CommandInfo& info : Commands())
        if (info.command == command) return info;
    return Commands().front();
}

Parsed ParseCommandLine(const std::vector<std::string>& args) {
    Parsed parsed;
    Options& o = parsed.options;
    bool commandHelp = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool beforeCommand = !o.command;
        if (arg == "--help" || arg == "-h") {
            (beforeCommand ? o.help : commandHelp) = true;
        } else if (beforeCommand && arg == "--version") {
            o.version = true;
        } else if (beforeCommand && (arg == "--yes" || arg == "-y")) {
            o.yes = true;
        } else if (beforeCommand && (arg == "--verbose" || arg == "-v")) {
            o.verbose = true;
        } else if (beforeCommand && arg == "--json") {
            o.json = true;
        } else if (beforeCommand && (arg == "--port" || arg.starts_with("--port="))) {
            std::string value;
            if (arg == "--port") {
                if (i + 1 >= args.size()) return {o, "--port: COM-Nummer (1 bis 16) oder Gerätepfad fehlt"};
                value = args[++i];
            } else {
                value = arg.substr(7);
            }
            o.portNumber = ParsePortNumber(value);
            o.portPath = o.portNumber ? "" : value;
            if (!o.portNumber && value.find('/') == std::string::npos)
                return {o, "--port: COM-Nummer 1 bis 16 oder Gerätepfad erwartet, nicht \"" + value + "\""};
        } else if (beforeCommand && arg.starts_with("-") && arg != "-") {
            return {o, "unbekannte Option \"" + arg + "\""};
        } else if (beforeCommand) {
            const CommandInfo* info = FindCommand(arg);
            if (!info) return {o, "unbekannter Befehl \"" + arg + "\""};
            o.command = info->command;
        } else {
            o.args.push_back(arg);
        }
    }
    if (o.help || o.version) return parsed;
    if (!o.command) return {o, "Befehl fehlt"};
    if (commandHelp) {
        o.help = true;
        return parsed;
    }
    parsed.error = CheckArguments(o);
    return parsed;
}

std::string ProgramHelp() {
    std::string text =
        "Aufruf: qvd-cli [--port N|PFAD] [--yes] [--verbose] [--json] BEFEHL [ARGUMENTE]\n"
        "Führt die Vorgänge von QVD-PC ohne Fenster aus: sucht das QVD-Modul, erkennt das\n"
        "Spielemodul, führt den Befehl aus und gibt das QVD-Modul wieder frei.\n"
        "  --port N       nur COM N (1 bis 16) durchsuchen (QVD_PC_PORTS gilt)\n"
        "  --port PFAD    nur das Gerät PFAD (z. B. /dev/serial/by-id/...) durchsuchen\n"
        "  --yes          Rückfragen (RAM laden, RAM löschen) mit Ja beantworten\n"
        "  --verbose      jede Meldung des Protokolls auf die Fehlerausgabe schreiben\n"
        "  --json         am Ende ein JSON-Objekt mit dem Ergebnis ausgeben\n"
        "  --help         diese Hilfe; BEFEHL --help: Hilfe zum Befehl\n"
        "  --version      Version ausgeben\n"
        "Befehle:\n";
    for (const CommandInfo& info : Commands()) {
        char line[160];
        const std::string call = std::string(info.name) + (info.arguments[0] ? " " : "") + info.arguments;
        std::snprintf(line, sizeof line, "  %-34s %s\n", call.c_str(), info.summary);
        text += line;
    }
    text +=
        "Exit-Status: 0 Erfolg, 1 Prüfung/Prüfsumme/Vergleich fehlgeschlagen, 2 QVD-Modul nicht\n"
        "gefunden oder Verbindung verloren, 3 Dateifehler, 4 abgelehnt (Rückfrage verneint oder\n"
        "kein Terminal ohne --yes), 64 falscher Aufruf, 130/143 durch SIGINT/SIGTERM beendet.\n";
    return text;
}

std::string CommandHelp(Command command) {
    const CommandInfo& info = InfoOf(command);
    std::string text = std::string("Aufruf: qvd-cli [OPTIONEN] ") + info.name + (info.arguments[0] ? " " : "") +
                       info.arguments + "\n" + info.summary + ".\n";
    switch (command) {
        case Command::View:
            text += "START und END sind die vier Hex-Ziffern der Felder Anfangs- und Endadresse\n"
                    "(in Einheiten von 100h). Die Zeilen der Anzeige gehen auf die Standardausgabe.\n";
            break;
        case Command::RamRestore:
        case Command::RamClear:
            text += "Ohne --yes wird die Rückfrage auf dem Terminal gestellt; ohne Terminal wird\n"
                    "abgelehnt (Exit-Status 4) und nichts gesendet. SIGINT/SIGTERM während des\n"
                    "Schreibens wird bis zu seinem Ende aufgehalten.\n";
            break;
        case Command::RamSave:
        case Command::EpromSave:
            text += "Exit-Status 0 nur, wenn die Prüfung bestanden ist. Eine bestehende DATEI wird\n"
                    "erst durch eine geprüfte ersetzt. SIGINT/SIGTERM beendet das Lesen; eine\n"
                    "unvollständige Datei wird entfernt.\n";
            break;
        case Command::CellWrite:
            text += "ADR: sechs Hex-Ziffern; WERT: vier Hex-Ziffern bei BW-, zwei bei NSM-Modulen.\n";
            break;
        case Command::ClockSet:
            text += "now setzt die PC-Zeit (wie \"PCzeit\"), sonst Datum und Uhrzeit; die Sekunden\n"
                    "kommen von der PC-Uhr (wie \"Setzen\").\n";
            break;
        default:
            break;
    }
    return text;
}

}  // namespace qvd::cli
