// QVD-PC: the windows are created in the order of the start-up
// (main window, about, password, jumper help); the program starts once the
// event loop runs.
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

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(qvd::kProgramTitle));
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
