#pragma once
// The program with its four windows on the Qt host, without serial ports.
#include "core/link/Program.h"
#include "ui/QtHost.h"
#include "ui/TForm1.h"
#include "ui/TForm2.h"
#include "ui/TForm3.h"
#include "ui/TForm5.h"

#include <QMenuBar>
#include <QString>

namespace qvd::test {

struct Windows {
    Windows();
    ~Windows();

    ui::QtHost host;
    Program program;
    ui::TForm1 main;
    ui::TForm2 about;
    ui::TForm3 password;
    ui::TForm5 jumperHelp;

    MainForm& form() { return program.form; }
    // A control of the main window (the other windows are its children and
    // reuse some designer names).
    template <typename W = QWidget>
    W* Find(const std::string& name) {
        const QString n = QString::fromStdString(name);
        if (W* found = main.centralWidget()->findChild<W*>(n)) return found;
        return main.menuBar()->findChild<W*>(n);
    }
    // Makes every control of the main window visible and enabled, in the
    // service layout.
    void RevealAll();
};

// Lets the coalesced refresh run.
void Settle();

}  // namespace qvd::test
