#include "app/CommandLine.h"

#include "core/form/MainForm.h"

#include <algorithm>
#include <array>
#include <string_view>

#ifndef QVD_PC_VERSION
#error "QVD_PC_VERSION comes from the project's version in CMake"
#endif

namespace qvd::app {

namespace {

// Qt's options on Linux (QGuiApplication, QApplication and the xcb plugin).
// Those with a value take the next argument; Qt reads "--x" as "-x".
constexpr std::array<std::string_view, 17> kQtWithValue = {
    "-platform", "-platformpluginpath", "-platformtheme", "-plugin", "-qwindowgeometry", "-qwindowicon",
    "-qwindowtitle", "-session", "-display", "-geometry", "-name", "-title", "-icon", "-visual", "-style",
    "-stylesheet", "-qmljsdebugger"};
constexpr std::array<std::string_view, 6> kQtFlags = {"-reverse", "-widgetcount", "-testability",
                                                      "-nograb", "-dograb", "-sync"};
constexpr std::array<std::string_view, 3> kQtJoined = {"-style=", "-stylesheet=", "-qmljsdebugger="};

template <size_t N>
bool In(const std::array<std::string_view, N>& names, std::string_view arg) {
    return std::find(names.begin(), names.end(), arg) != names.end();
}

}  // namespace

CommandLineVerdict CheckCommandLine(const std::vector<std::string>& args) {
    CommandLineVerdict verdict;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") {
            if (verdict.action == CommandLineAction::Run) verdict.action = CommandLineAction::Help;
            continue;
        }
        if (arg == "-v" || arg == "--version") {
            if (verdict.action == CommandLineAction::Run) verdict.action = CommandLineAction::Version;
            continue;
        }
        std::string_view qt = arg;
        if (qt.starts_with("--")) qt.remove_prefix(1);
        if (In(kQtFlags, qt) ||
            std::any_of(kQtJoined.begin(), kQtJoined.end(), [&](std::string_view p) { return qt.starts_with(p); }))
            continue;
        if (In(kQtWithValue, qt)) {
            if (i + 1 < args.size()) {
                ++i;
                continue;
            }
            return {CommandLineAction::Refuse, "Option " + arg + " braucht einen Wert"};
        }
        if (arg.starts_with("-")) return {CommandLineAction::Refuse, "unbekannte Option: " + arg};
        // The window takes no files or ports: a stray word is a mistake too.
        return {CommandLineAction::Refuse, "unerwartetes Argument: " + arg};
    }
    return verdict;
}

std::string HelpText() {
    return "Aufruf: qvd-pc [--help] [--version] [Qt-Optionen]\n"
           "Servicewerkzeug für das QVD-Modul: sucht den Adapter an COM1 bis COM16,\n"
           "erkennt das Spielmodul, sichert, vergleicht und löscht den RAM, liest das\n"
           "EPROM, teilt und fügt EPROM-Abbilder, liest und stellt die Uhr.\n"
           "\n"
           "  -h, --help      diese Hilfe ausgeben und beenden\n"
           "  -v, --version   Version ausgeben und beenden\n"
           "\n"
           "Qt-Optionen wie -platform NAME, -display ANZEIGE, -style STIL oder\n"
           "-geometry BxH+X+Y gehen an Qt.\n"
           "\n"
           "Umgebung:\n"
           "  QVD_PC_PORTS   Gerätepfade der Ports als Muster, %d wird zur Portnummer\n"
           "                 (z. B. /tmp/qvd/COM%d für den virtuellen Adapter)\n"
           "  QVD_PC_TRACE   Datei, an die jedes gesendete und empfangene Byte angehängt wird\n"
           "\n"
           "Ohne Zugriff auf die Ports: sudo adduser $USER dialout, dann neu anmelden.\n"
           "Mehr unter: man qvd-pc\n";
}

std::string VersionText() {
    return std::string("qvd-pc ") + QVD_PC_VERSION + "\n" + kWindowCaption + "\n";
}

}  // namespace qvd::app
