#include "sim/SimOptions.h"

#include <cctype>
#include <fstream>
#include <iterator>
#include <map>

namespace qvd::sim {

const char* const kSimUsage =
    "Aufruf: qvd-sim [--link PFAD] [--type N] [--version X.YZ] [--serial NNNN]\n"
    "               [--status CC] [--ram DATEI] [--eprom DATEI] [Fehler...] [--fast] [--verbose]\n"
    "Stellt ein virtuelles QVD-Modul an einem Pseudo-Terminal bereit.\n"
    "  --link PFAD        symbolischer Link auf das Terminal (z. B. /tmp/qvd-pc-ports/COM1)\n"
    "  --type N           Modultyp-Ziffer (Vorgabe 1)\n"
    "  --version X.YZ     Adapterversion (Vorgabe 1.30)\n"
    "  --version          ohne Wert: Programmversion ausgeben und beenden\n"
    "  --serial NNNN      Seriennummer, vier Ziffern oder Großbuchstaben (Vorgabe 0815)\n"
    "  --status CC        Statuscode, zwei Hex-Ziffern (Vorgabe FF)\n"
    "  --ram DATEI        RAM-Inhalt (genau die RAM-Größe des Typs; Vorgabe Muster)\n"
    "  --eprom DATEI      EPROM-Inhalt (genau die EPROM-Größe des Typs; Vorgabe Muster)\n"
    "  --fast             ohne Bremse auf 57600 Baud senden\n"
    "  --verbose          jeden empfangenen Befehl ausgeben\n"
    "  --facts            Eckdaten des Adapters (Speichergrößen, Formate) als JSON ausgeben\n"
    "Fehler:\n"
    "  --silent-after N   nach N Statusabfragen (\"r\") nicht mehr antworten\n"
    "  --lose-polls K:N   Statusabfragen K bis K+N-1 gehen verloren, danach wieder Antwort\n"
    "  --lose-command CMD Befehl CMD (ohne CR) geht einmal verloren (mehrfach möglich)\n"
    "  --spoil-poll K:short|long|garbage  Antwort auf Statusabfrage K ein Byte zu kurz,\n"
    "                     ein Byte zu lang oder mit 00 FF 13 davor (mehrfach möglich)\n"
    "  --stream-cut K     Speicherausgabe bricht nach K Bytes ab\n"
    "  --stream-pause K:MS  Speicherausgabe hält nach K Bytes MS ms an\n"
    "  --stream-corrupt K   Byte K der Speicherausgabe verfälscht (XOR FF)\n"
    "  --vanish-after-stream K  Modul verschwindet nach K Bytes Speicherausgabe\n"
    "  --stream-fault-times N   so viele Ausgaben trifft der Fehler (Vorgabe 1, 0: alle)\n"
    "  --vanish-after-image K   Modul verschwindet nach K empfangenen RAM-Bytes\n"
    "  --wrong-ram-checksum once|twice|always    falsche RAM-Prüfsumme (\"g0010\")\n"
    "  --wrong-eprom-checksum once|twice|always  falsche EPROM-Prüfsumme (\"g0020\")\n"
    "Verschwindet das Modul, endet qvd-sim mit Status 3.\n";

namespace {

bool All(const std::string& s, int (*pred)(int)) {
    for (unsigned char c : s)
        if (!pred(c)) return false;
    return !s.empty();
}

bool IsVersion(const std::string& s) {
    return s.size() == 4 && std::isdigit(static_cast<unsigned char>(s[0])) && s[1] == '.' &&
           std::isdigit(static_cast<unsigned char>(s[2])) && std::isdigit(static_cast<unsigned char>(s[3]));
}

bool Count(const std::string& s, size_t& out) {
    if (s.size() > 9 || !All(s, isdigit)) return false;
    out = std::stoul(s);
    return true;
}

bool WrongChecksums(const std::string& s, int& out) {
    if (s == "once") out = 1;
    else if (s == "twice") out = 2;
    else if (s == "always") out = -1;
    else return false;
    return true;
}

std::string Slurp(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) error = path + ": nicht lesbar";
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

ParsedOptions ParseSimOptions(const std::vector<std::string>& args) {
    ParsedOptions parsed;
    SimOptions& o = parsed.options;
    bool streamFaultGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--fast") { o.fast = true; continue; }
        if (arg == "--verbose") { o.verbose = true; continue; }
        if (arg == "--help" || arg == "-h") { o.help = true; continue; }
        if (arg == "--facts") { o.facts = true; continue; }
        // "--version X.YZ" sets the adapter's version; alone, as other
        // programs have it, it asks for the program's.
        if (arg == "--version" && (i + 1 == args.size() || args[i + 1].starts_with("-"))) {
            o.programVersion = true;
            continue;
        }
        static const char* const kWithValue[] = {
            "--link", "--type", "--version", "--serial", "--status", "--silent-after", "--lose-polls", "--spoil-poll",
            "--lose-command",
            "--ram", "--eprom",
            "--stream-cut", "--stream-pause", "--stream-corrupt", "--vanish-after-stream",
            "--stream-fault-times", "--vanish-after-image", "--wrong-ram-checksum", "--wrong-eprom-checksum"};
        bool takesValue = false;
        for (const char* name : kWithValue) takesValue = takesValue || arg == name;
        if (!takesValue) {
            parsed.error = "unbekannte Option: " + arg;
            return parsed;
        }
        if (i + 1 >= args.size()) {
            parsed.error = arg + " braucht einen Wert";
            return parsed;
        }
        const std::string& value = args[++i];
        bool ok = true;
        size_t n = 0;
        StreamFault& stream = o.faults.stream;
        const bool isStreamFault = arg == "--stream-cut" || arg == "--stream-pause" || arg == "--stream-corrupt" ||
                                   arg == "--vanish-after-stream";
        if (isStreamFault && streamFaultGiven) {
            parsed.error = "nur ein Fehler der Speicherausgabe zugleich: " + arg;
            return parsed;
        }
        streamFaultGiven = streamFaultGiven || isStreamFault;
        if (arg == "--link") {
            o.link = value;
        } else if (arg == "--type") {
            ok = value.size() == 1 && All(value, isdigit);
            if (ok) o.config.moduleType = static_cast<uint8_t>(value[0] - '0');
        } else if (arg == "--version") {
            ok = IsVersion(value);
            if (ok) o.config.version = value;
        } else if (arg == "--serial") {
            // Digits and capitals: a service adapter's number carries letters.
            ok = value.size() == 4 && All(value, [](int c) -> int { return std::isdigit(c) || std::isupper(c); });
            if (ok) o.config.serial = value;
        } else if (arg == "--status") {
            ok = value.size() == 2 && All(value, isxdigit);
            if (ok) {
                o.config.statusCode = value;
                for (char& c : o.config.statusCode) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            }
        } else if (arg == "--silent-after") {
            ok = Count(value, n);
            if (ok) o.faults.answerPollsThenSilent = static_cast<int>(n);
        } else if (arg == "--lose-polls" || arg == "--spoil-poll") {
            const size_t colon = value.find(':');
            const std::string what = colon == std::string::npos ? "" : value.substr(colon + 1);
            ok = colon != std::string::npos && Count(value.substr(0, colon), n) && n > 0;
            if (arg == "--lose-polls") {
                size_t lost = 0;
                ok = ok && Count(what, lost);
                if (ok) {
                    o.faults.lostPollsFrom = static_cast<int>(n);
                    o.faults.lostPolls = static_cast<int>(lost);
                }
            } else {
                const std::map<std::string, DeviceFaults::SpoiltAnswer> kinds = {
                    {"short", {"", -1}}, {"long", {"", +1}}, {"garbage", {std::string("\0\xFF\x13", 3), 0}}};
                const auto kind = kinds.find(what);
                ok = ok && kind != kinds.end();
                if (ok) o.faults.spoiltPolls[static_cast<int>(n)] = kind->second;
            }
        } else if (arg == "--lose-command") {
            ok = !value.empty();
            if (ok) o.faults.loseOnce.insert(value);
        } else if (arg == "--ram") {
            o.ramFile = value;
        } else if (arg == "--eprom") {
            o.epromFile = value;
        } else if (arg == "--stream-pause") {
            const size_t colon = value.find(':');
            size_t ms = 0;
            ok = colon != std::string::npos && Count(value.substr(0, colon), n) && Count(value.substr(colon + 1), ms);
            if (ok) stream = {StreamFault::Kind::Pause, n, static_cast<uint32_t>(ms), stream.streams};
        } else if (isStreamFault) {
            ok = Count(value, n);
            const auto kind = arg == "--stream-cut"       ? StreamFault::Kind::Cut
                              : arg == "--stream-corrupt" ? StreamFault::Kind::Corrupt
                                                          : StreamFault::Kind::Vanish;
            if (ok) stream = {kind, n, 0, stream.streams};
        } else if (arg == "--stream-fault-times") {
            ok = Count(value, n);
            if (ok) stream.streams = static_cast<int>(n);
        } else if (arg == "--vanish-after-image") {
            ok = Count(value, n);
            if (ok) o.faults.vanishAfterImageBytes = n;
        } else if (arg == "--wrong-ram-checksum") {
            ok = WrongChecksums(value, o.faults.wrongRamChecksums);
        } else if (arg == "--wrong-eprom-checksum") {
            ok = WrongChecksums(value, o.faults.wrongEpromChecksums);
        }
        if (!ok) {
            parsed.error = "ungültiger Wert für " + arg + ": " + value;
            return parsed;
        }
    }
    if (o.link.empty() == false && o.link.back() == '/') parsed.error = "--link braucht einen Dateinamen";
    return parsed;
}

std::string FactsJson() {
    const auto field = [](const char* name, size_t value) { return "\"" + std::string(name) + "\": " + std::to_string(value); };
    std::string modules;
    for (uint8_t type : {1, 2, 3, 4, 5, int(kAdpType)}) {
        const ModuleFacts m = ModuleOf(type);
        modules += std::string(modules.empty() ? "" : ", ") + "\"" + std::to_string(type) + "\": {" + field("ram_bytes", m.ramBytes) +
                   ", " + field("eprom_bytes", m.epromBytes) + ", " + field("cell_bytes", m.cellBytes) + ", " +
                   field("clock_layout", static_cast<size_t>(m.clock)) + "}";
    }
    return "{" + field("baud", kBaud) + ", " + field("line_bytes_per_second", kLineBytesPerSecond) + ", " +
           field("status_answer_bytes", kStatusAnswerBytes) + ", " + field("status_sum_at", kStatusSumAt) + ", " +
           field("dump_cells_per_line", kDumpCellsPerLine) + ", " + field("dump_address_digits", kDumpAddressDigits) +
           ", \"modules\": {" + modules + "}}\n";
}

std::string LoadImages(SimOptions& options) {
    const ModuleFacts sizes = MemoryOf(options.config);
    const struct { const std::string& file; std::string& image; size_t size; } images[] = {
        {options.ramFile, options.config.ram, sizes.ramBytes},
        {options.epromFile, options.config.eprom, sizes.epromBytes},
    };
    for (const auto& m : images) {
        if (m.file.empty()) continue;
        std::string error;
        m.image = Slurp(m.file, error);
        if (!error.empty()) return error;
        if (m.image.size() != m.size)
            return m.file + ": " + std::to_string(m.image.size()) + " Bytes, Typ " +
                   std::to_string(options.config.moduleType) + " braucht " + std::to_string(m.size);
    }
    return "";
}

}  // namespace qvd::sim
