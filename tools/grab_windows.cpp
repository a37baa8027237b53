// Renders the program's windows into PNG files without a display:
// qvd_grab_windows <output directory>. The about and jumper help windows
// as they open, the main window in its three layouts with every region
// shown (a layout check; the real program fills them only when connected).
#include "core/link/Program.h"
#include "core/serial/EVaCommError.h"
#include "ui/QtHost.h"
#include "ui/TForm1.h"
#include "ui/TForm2.h"
#include "ui/TForm3.h"
#include "ui/TForm5.h"

#include <QApplication>
#include <QDir>
#include <QStyleFactory>

#include <cstdio>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output directory>\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));

    qvd::ui::QtHost host;
    qvd::Program program(
        host,
        [](const std::string& device) -> std::unique_ptr<qvd::SerialTransport> {
            throw qvd::EVaCommError(qvd::comm_errors::DeviceNotFound(device));
        },
        [](int n) { return "COM" + std::to_string(n); });
    qvd::ui::TForm1 form1(program, host);
    qvd::ui::TForm2 form2(program.about, host, &form1);
    qvd::ui::TForm3 form3(program.password, host, &form1);
    qvd::ui::TForm5 form5(program.jumperHelp, host, &form1);
    form1.show();

    auto save = [&](QWidget& window, const char* name) {
        QCoreApplication::processEvents();
        if (!window.grab().save(out.filePath(QString::fromLatin1(name)))) {
            std::fprintf(stderr, "cannot write %s\n", name);
            std::exit(1);
        }
    };
    program.about.window.SetVisible(true);
    save(form2, "about.png");
    program.jumperHelp.window.SetVisible(true);
    save(form5, "jumper_help.png");
    program.password.window.SetCaption("Servicebereich");
    program.password.window.SetVisible(true);
    program.password.Edit1.SetCaption("geheim");
    save(form3, "password.png");

    qvd::MainForm& f = program.form;
    for (qvd::Control* c : f.Controls())
        if (c != &f.Memo5 && c != &f.GroupBox9 && c != &f.GroupBox3) c->SetVisible(true);
    f.EnableControls(true);
    f.CheckBox3.SetChecked(true);
    f.CheckBox14.SetEnabled(true);
    // Report lines as the search writes them, for the columns of the info window.
    for (const char* line : {"Status(FF) = OK", "Fehlermeldungen:", "Fehlercode 00...09: 00000000000000000000",
                             "Zählerstände:", "RAM Lesezugriffe   : 000012", "RAM Schreibzugriffe: 000003"})
        f.Memo2.AddLine(line);
    f.LogLine("Suche alle COM...");
    f.LogInfo("Keine COM-Schnittstelle gefunden.");
    f.SetHeight(qvd::kConnectedHeight);
    save(form1, "layout_connected.png");
    f.SetWidth(qvd::kServiceWidth);
    save(form1, "layout_service.png");
    return 0;
}
