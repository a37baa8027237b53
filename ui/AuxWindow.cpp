#include "ui/AuxWindow.h"

#include "ui/DesignerName.h"
#include "ui/FormMirror.h"
#include "ui/QtHost.h"

#include <QCloseEvent>

namespace qvd::ui {

AuxWindow::AuxWindow(Form& form, QtHost& host, QWidget* owner, Placements placements,
                     const Style& style)
    : QWidget(owner, style.flags | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      form_(form),
      frame_(style.frame),
      mirror_(new FormMirror(form, [&host](const auto& fn) { host.Run(fn); }, this)) {
    NameWidget(this, form.window.name);
    setFont(style.font);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(240, 240, 240));  // button face
    setPalette(pal);
    mirror_->onRefreshWindow = [this] { RefreshWindow(); };
    mirror_->Build(this, placements);
    host.AddBeforeModal(this, [this] { FlushRefresh(); });
}

AuxWindow::~AuxWindow() = default;

void AuxWindow::FlushRefresh() { mirror_->Refresh(); }

QWidget* AuxWindow::ControlWidget(const std::string& name) const { return mirror_->Widget(name); }

void AuxWindow::RefreshWindow() {
    const QSize client(form_.Width() - frame_.width(), form_.Height() - frame_.height());
    if (size() != client) setFixedSize(client);
    if (windowSeen_ == form_.window.revision) return;
    windowSeen_ = form_.window.revision;
    setWindowTitle(QString::fromStdString(form_.window.caption));
    setEnabled(form_.window.enabled);
    if (!form_.window.visible) {
        if (isVisible()) hide();
        return;
    }
    if (!placed_ && parentWidget()) {
        // First showing: centred over the main window.
        const QRect owner = parentWidget()->frameGeometry();
        move(owner.center() - QPoint(width() / 2, height() / 2));
        placed_ = true;
    }
    show();
    raise();
    activateWindow();
}

void AuxWindow::closeEvent(QCloseEvent* event) {
    form_.window.SetVisible(false);
    event->accept();
}

}  // namespace qvd::ui
