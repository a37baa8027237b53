// QVD-PC: the windows are created in the order of the start-up
// (main window, about, password, jumper help); the program starts once the
// event loop runs.
#include "core/program/Program.h"
#include "core/serial/PortNames.h"
#include "core/serial/TermiosTransport.h"
#include "ui/HeldLook.h"
#include "ui/Pictures.h"
#include "ui/QtHost.h"
#include "ui/TForm1.h"
#include "ui/TForm2.h"
#include "ui/TForm3.h"
#include "ui/TForm5.h"

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

    qvd::ui::TForm1 form1(program, host);
    qvd::ui::TForm2 form2(program.about, host, &form1);
    qvd::ui::TForm3 form3(program.password, host, &form1);
    qvd::ui::TForm5 form5(program.jumperHelp, host, &form1);
    form1.move(100, 50);
    form1.show();

    QTimer::singleShot(0, &form1, [&] { host.Run([&] { program.Start(); }); });
    return QApplication::exec();
}
