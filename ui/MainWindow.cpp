#include "ui/MainWindow.h"

#include "ui/DesignerName.h"
#include "ui/Fonts.h"
#include "ui/FormMirror.h"
#include "ui/InputBlocker.h"
#include "ui/MainLayout.h"
#include "ui/QtHost.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

#include <map>

namespace qvd::ui {

MainWindow::MainWindow(Program& program, QtHost& host)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowCloseButtonHint),
      program_(program),
      host_(host),
      form_(program.form),
      surface_(new QWidget(this)),
      mirror_(new FormMirror(program.form, [&host](const auto& fn) { host.Run(fn); }, this)),
      blocker_(new InputBlocker(this)) {
    NameWidget(this, form_.window.name);
    setFont(SansFont(11));
    menuBar()->setFixedHeight(kMenuBarHeight);
    NameWidget(menuBar(), "MainMenu1");
    surface_->setObjectName(QStringLiteral("ClientArea"));
    surface_->setAutoFillBackground(true);
    surface_->installEventFilter(this);
    setCentralWidget(surface_);

    mirror_->onChangedNow = [this] {
        // The fade at close sets the opacity step by step without waiting.
        const qreal opacity = form_.alpha / 255.0;
        if (!qFuzzyCompare(windowOpacity(), opacity)) setWindowOpacity(opacity);
    };
    mirror_->onRefreshWindow = [this] { RefreshWindow(); };
    mirror_->holdInputWhileDisabled = true;
    mirror_->Build(surface_, MainPlacements());
    BuildMenus();

    // The status panels stand side by side in their widths, the progress bar after them.
    int x = 0;
    for (Control* panel : {&form_.portPanel, &form_.messagePanel, &form_.bytesPanel,
                           &form_.moduleNamePanel, &form_.progressBar}) {
        if (QWidget* w = mirror_->Widget(panel->name)) w->setGeometry(x, 0, panel->width, kStatusBarHeight);
        x += panel->width;
    }
    host_.SetMainWindow(this);
    host_.AddBeforeModal(this, [this] { FlushRefresh(); });
    FlushRefresh();
}

MainWindow::~MainWindow() = default;

void MainWindow::FlushRefresh() { mirror_->Refresh(); }

QWidget* MainWindow::ControlWidget(const std::string& name) const { return mirror_->Widget(name); }

bool MainWindow::InputBlocked() const { return blocker_->Blocking(); }

void MainWindow::BuildMenus() {
    std::map<const Control*, QMenu*> menus;
    for (Control* c : form_.Controls()) {
        if (c->kind == ControlKind::Menu) {
            QMenu* menu = menuBar()->addMenu(QString());
            NameWidget(menu, c->name);
            menus[c] = menu;
            mirror_->AddAction(*c, menu->menuAction());
        } else if (c->kind == ControlKind::MenuItem && menus.count(c->parent)) {
            QAction* action = menus[c->parent]->addAction(QString());
            action->setObjectName(QString::fromStdString(c->name));
            mirror_->AddAction(*c, action);
        }
    }
}

void MainWindow::RefreshWindow() {
    const QSize client(form_.Width() - kMainWindowFrame.width(),
                       form_.Height() - kMainWindowFrame.height());
    if (size() != client) setFixedSize(client);
    const qreal opacity = form_.alpha / 255.0;
    if (!qFuzzyCompare(windowOpacity(), opacity)) setWindowOpacity(opacity);
    if (windowSeen_ == form_.window.revision) return;
    windowSeen_ = form_.window.revision;
    setWindowTitle(QString::fromStdString(form_.window.caption));
    blocker_->SetBlocking(!form_.window.enabled);
    if (form_.window.enabled)
        unsetCursor();
    else
        setCursor(Qt::BusyCursor);
    if (form_.window.color) {
        QPalette pal = surface_->palette();
        const Rgb c = *form_.window.color;
        pal.setColor(QPalette::Window, QColor(c.r, c.g, c.b));
        surface_->setPalette(pal);
    }
}

void MainWindow::PlaceStatusBar() {
    if (QWidget* bar = mirror_->Widget(form_.statusBar.name)) {
        bar->setGeometry(0, surface_->height() - kStatusBarHeight, surface_->width(), kStatusBarHeight);
        bar->raise();
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == surface_ && event->type() == QEvent::Resize) PlaceStatusBar();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // A second close while the close request waits is not a new request.
    if (closing_) {
        event->ignore();
        return;
    }
    closing_ = true;
    bool mayClose = false;
    host_.Run([&] { mayClose = program_.RequestClose(); });
    closing_ = false;
    FlushRefresh();
    if (!mayClose) {
        event->ignore();
        return;
    }
    event->accept();
    // Closing the main window ends the program, open auxiliary windows or not.
    QCoreApplication::quit();
}

}  // namespace qvd::ui
