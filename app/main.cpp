// QVD-PC: the windows are created in the order of the start-up
// (main window, about, password, jumper help); the program starts once the
// event loop runs. The command line is looked at first: --help and --version
// must answer without a display.
#include "app/CommandLine.h"
#include "core/program/Program.h"
#include "core/serial/PortNames.h"
#include "core/serial/TermiosTransport.h"
#include "core/serial/UsbPortName.h"
#include "ui/HeldLook.h"
#include "ui/Pictures.h"
#include "ui/QtHost.h"
#include "ui/MainWindow.h"
#include "ui/AboutWindow.h"
#include "ui/PasswordWindow.h"
#include "ui/JumperHelpWindow.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    const qvd::app::CommandLineVerdict verdict =
        qvd::app::CheckCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (verdict.action) {
        case qvd::app::CommandLineAction::Help:
            std::fputs(qvd::app::HelpText().c_str(), stdout);
            return 0;
        case qvd::app::CommandLineAction::Version:
            std::fputs(qvd::app::VersionText().c_str(), stdout);
            return 0;
        case qvd::app::CommandLineAction::Refuse:
            std::fprintf(stderr, "qvd-pc: %s\nMehr mit: qvd-pc --help\n", verdict.error.c_str());
            return qvd::app::kExitUsage;
        case qvd::app::CommandLineAction::Run:
            break;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(qvd::kProgramTitle));
    // Wayland shells match the window to the menu entry by this name.
    QApplication::setDesktopFileName(QStringLiteral(QVD_APP_ID));
    QApplication::setStyle(qvd::ui::CreateProgramStyle());
    QApplication::setQuitOnLastWindowClosed(false);  // the main window's close ends it
    QApplication::setWindowIcon(
        QPixmap::fromImage(qvd::ui::LoadPicture(QStringLiteral(":/pictures/icon.jpg"))));

    qvd::ui::QtHost host;
    const std::string portPattern = qvd::PortPatternFromEnvironment();
    const std::string sysfs = qvd::SysfsRootFromEnvironment();
    qvd::Program program(host, qvd::TermiosTransports(host),
                         [portPattern](int n) { return qvd::DevicePathForPort(n, portPattern); },
                         [sysfs](const std::string& device) { return qvd::UsbPortName(sysfs, device); });

    qvd::ui::MainWindow mainWindow(program, host);
    qvd::ui::AboutWindow aboutWindow(program.about, host, &mainWindow);
    qvd::ui::PasswordWindow passwordWindow(program.password, host, &mainWindow);
    qvd::ui::JumperHelpWindow jumperHelpWindow(program.jumperHelp, host, &mainWindow);
    mainWindow.move(100, 50);
    mainWindow.show();

    QTimer::singleShot(0, &mainWindow, [&] { host.Run([&] { program.Start(); }); });
    return QApplication::exec();
}
