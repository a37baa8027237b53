// QVD-PC: the windows are created in the order of the start-up
// (main window, about, password, jumper help); the program starts once the
// event loop runs.
#include "core/program/Program.h"
#include "core/serial/PortNames.h"
#include "core/serial/TermiosTransport.h"
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
    qvd::Program program(host, qvd::TermiosTransports(host),
                         [portPattern](int n) { return qvd::DevicePathForPort(n, portPattern); });

    qvd::ui::MainWindow form1(program, host);
    qvd::ui::AboutWindow form2(program.about, host, &form1);
    qvd::ui::PasswordWindow form3(program.password, host, &form1);
    qvd::ui::JumperHelpWindow form5(program.jumperHelp, host, &form1);
    form1.move(100, 50);
    form1.show();

    QTimer::singleShot(0, &form1, [&] { host.Run([&] { program.Start(); }); });
    return QApplication::exec();
}
