#pragma once
// The main window: mirrors qvd::MainForm and forwards the user's clicks,
// keys and menu commands to the program's handlers.
#include "core/program/Program.h"

#include <QMainWindow>

#include <string>

namespace qvd::ui {

class FormMirror;
class InputBlocker;
class QtHost;

class MainWindow : public QMainWindow {
public:
    MainWindow(Program& program, QtHost& host);
    ~MainWindow() override;

    // Shows the model now instead of at the next turn of the event loop.
    void FlushRefresh();
    // The widget of a control by its designer name (null for menus).
    QWidget* ControlWidget(const std::string& name) const;
    // True while the model's window is disabled (no input reaches it).
    bool InputBlocked() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void RefreshWindow();
    void PlaceStatusBar();

    Program& program_;
    QtHost& host_;
    MainForm& form_;
    QWidget* surface_;
    FormMirror* mirror_;
    InputBlocker* blocker_;
    unsigned windowSeen_ = ~0u;
    bool closing_ = false;
};

}  // namespace qvd::ui
