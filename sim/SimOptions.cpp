#include "sim/SimOptions.h"

#include <cctype>

namespace qvd::sim {

const char* const kSimUsage =
    "Aufruf: qvd-sim [--link PFAD] [--type N] [--version X.YZ] [--serial NNNN]\n"
    "               [--status CC] [--silent-after N] [--fast] [--verbose]\n"
    "Stellt ein virtuelles QVD-Modul an einem Pseudo-Terminal bereit.\n"
    "  --link PFAD        symbolischer Link auf das Terminal (z. B. /tmp/qvd-pc-ports/COM1)\n"
    "  --type N           Modultyp-Ziffer (Vorgabe 1)\n"
    "  --version X.YZ     Adapterversion (Vorgabe 1.30)\n"
    "  --serial NNNN      Seriennummer, vier Ziffern (Vorgabe 0815)\n"
    "  --status CC        Statuscode, zwei Hex-Ziffern (Vorgabe FF)\n"
    "  --silent-after N   nach N Statusabfragen (\"r\") nicht mehr antworten\n"
    "  --fast             ohne Bremse auf 57600 Baud senden\n"
    "  --verbose          jeden empfangenen Befehl ausgeben\n";

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

}  // namespace

ParsedOptions ParseSimOptions(const std::vector<std::string>& args) {
    ParsedOptions parsed;
    SimOptions& o = parsed.options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--fast") { o.fast = true; continue; }
        if (arg == "--verbose") { o.verbose = true; continue; }
        if (arg == "--help" || arg == "-h") { o.help = true; continue; }
        const bool takesValue = arg == "--link" || arg == "--type" || arg == "--version" ||
                                arg == "--serial" || arg == "--status" || arg == "--silent-after";
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
        if (arg == "--link") {
            o.link = value;
        } else if (arg == "--type") {
            ok = value.size() == 1 && All(value, isdigit);
            if (ok) o.config.moduleType = static_cast<uint8_t>(value[0] - '0');
        } else if (arg == "--version") {
            ok = IsVersion(value);
            if (ok) o.config.version = value;
        } else if (arg == "--serial") {
            ok = value.size() == 4 && All(value, isdigit);
            if (ok) o.config.serial = value;
        } else if (arg == "--status") {
            ok = value.size() == 2 && All(value, isxdigit);
            if (ok) {
                o.config.statusCode = value;
                for (char& c : o.config.statusCode) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            }
        } else if (arg == "--silent-after") {
            ok = value.size() <= 9 && All(value, isdigit);
            if (ok) o.silentAfterPolls = std::stoi(value);
        }
        if (!ok) {
            parsed.error = "ungültiger Wert für " + arg + ": " + value;
            return parsed;
        }
    }
    if (o.link.empty() == false && o.link.back() == '/') parsed.error = "--link braucht einen Dateinamen";
    return parsed;
}

}  // namespace qvd::sim
