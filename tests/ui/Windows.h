#pragma once
// The program with its four windows on the Qt host, without serial ports.
#include "core/program/Program.h"
#include "core/serial/EVaCommError.h"
#include "ui/AboutWindow.h"
#include "ui/JumperHelpWindow.h"
#include "ui/MainWindow.h"
#include "ui/PasswordWindow.h"
#include "ui/QtHost.h"

#include <QTest>
#include <QtWidgets>

#include <stdexcept>

#include <gtest/gtest.h>

// Test failures print texts as texts.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace qvd::test {

// Lets the coalesced refresh run.
inline void Settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

// Confirms the next modal box `afterMs` from now, once `inspect` has looked at it.
inline void AnswerNextBox(std::function<void(QMessageBox&)> inspect = {}, int afterMs = 0) {
    QTimer::singleShot(afterMs, [inspect = std::move(inspect)] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        if (inspect) inspect(*box);
        box->accept();
    });
}

struct Windows {
    Windows() { main.show(); Settle(); }

    ui::QtHost host;
    Program program{host,
                    [](const std::string& device) -> std::unique_ptr<SerialTransport> {
                        throw EVaCommError(comm_errors::DeviceNotFound(device));
                    },
                    [](int n) { return "COM" + std::to_string(n); }};
    ui::MainWindow main{program, host};
    ui::AboutWindow about{program.about, host, &main};
    ui::PasswordWindow password{program.password, host, &main};
    ui::JumperHelpWindow jumperHelp{program.jumperHelp, host, &main};

    MainForm& form() { return program.form; }
    // A control or menu entry of the main window (the other windows are its
    // children and reuse some designer names). Missing: the test fails, not crashes.
    template <typename T = QWidget>
    T* Find(const std::string& name) {
        const QString n = QString::fromStdString(name);
        if (T* found = main.centralWidget()->findChild<T*>(n)) return found;
        if (T* found = main.menuBar()->findChild<T*>(n)) return found;
        throw std::runtime_error("the main window has no " + name);
    }
    // Every control of the main window visible and enabled, in the service layout.
    void RevealAll() {
        for (Control* c : form().Controls()) {
            if (c == &form().reportBuffer) continue;
            c->SetVisible(true);
            c->SetEnabled(true);
        }
        form().SetWidth(kServiceWidth);
        form().SetHeight(kConnectedHeight);
        Settle();
    }
};

}  // namespace qvd::test
