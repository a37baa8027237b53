#include "ui/QtHost.h"

#include "core/form/MainForm.h"
#include "ui/FileDialogs.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QMessageBox>
#include <QThread>
#include <QTimer>

#include <exception>

namespace qvd::ui {

QtHost::QtHost() : wakeTimer_(new QTimer(this)) {
    clock_.start();
    wakeTimer_->setSingleShot(true);
    wakeTimer_->setTimerType(Qt::PreciseTimer);
    connect(wakeTimer_, &QTimer::timeout, this, [this] { OnWakeTimer(); });
}

QtHost::~QtHost() = default;

uint32_t QtHost::TickCount() { return static_cast<uint32_t>(NowMs()); }

void QtHost::WaitAndDispatch(uint32_t deadline) {
    const int32_t remaining = static_cast<int32_t>(deadline - TickCount());
    if (remaining <= 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    // A private alarm per wait: a wait nested inside a handler must not move
    // the deadline of the wait it interrupted.
    QTimer alarm;
    alarm.setSingleShot(true);
    alarm.setTimerType(Qt::PreciseTimer);
    alarm.start(remaining);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void QtHost::Sleep(uint32_t ms) { QThread::msleep(ms); }

void QtHost::Post(std::function<void()> fn) {
    QMetaObject::invokeMethod(
        this, [this, fn = std::move(fn)] { Run(fn); }, Qt::QueuedConnection);
}

void QtHost::ScheduleWake(uint32_t when) {
    const int32_t ahead = static_cast<int32_t>(when - TickCount());
    wakes_.insert(NowMs() + (ahead > 0 ? ahead : 0));
    ArmWakeTimer();
}

void QtHost::SetWakeHandler(std::function<void()> handler) { wakeHandler_ = std::move(handler); }

void QtHost::ArmWakeTimer() {
    if (wakes_.empty()) {
        wakeTimer_->stop();
        return;
    }
    const int64_t wait = *wakes_.begin() - NowMs();
    // start() always takes a fresh timer id: a tick that falls due while an
    // earlier tick's handler waits is delivered nested, as the core expects.
    wakeTimer_->start(static_cast<int>(wait > 0 ? wait : 0));
}

void QtHost::OnWakeTimer() {
    const int64_t now = NowMs();
    bool due = false;
    while (!wakes_.empty() && *wakes_.begin() <= now) {
        wakes_.erase(wakes_.begin());
        due = true;
    }
    ArmWakeTimer();
    if (due && wakeHandler_) Run(wakeHandler_);
}

void QtHost::AddBeforeModal(QObject* owner, std::function<void()> fn) {
    beforeModal_.emplace_back(owner, std::move(fn));
}

void QtHost::BeforeModal() {
    for (auto& [owner, fn] : beforeModal_)
        if (owner) fn();
}

void QtHost::Run(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        ShowMessage(kProgramTitle, e.what(), MessageIcon::Error);
    }
}

static QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

void QtHost::ShowMessage(const std::string& title, const std::string& text, MessageIcon icon,
                         bool centredOnScreen) {
    BeforeModal();
    QString body = QString::fromStdString(text);
    body.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // Without a parent the box is centred on the screen.
    QMessageBox box(BoxIcon(icon), QString::fromStdString(title), body, QMessageBox::Ok,
                    centredOnScreen ? nullptr : mainWindow_.data());
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

bool QtHost::AskYesNo(const std::string& title, const std::string& text) {
    BeforeModal();
    QString body = QString::fromStdString(text);
    body.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(QMessageBox::Question, QString::fromStdString(title), body,
                    QMessageBox::Yes | QMessageBox::No, mainWindow_.data());
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.setDefaultButton(QMessageBox::No);  // a stray Enter must not overwrite a module's RAM
    return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> QtHost::OpenFileDialog(const FileDialogRequest& request) {
    BeforeModal();
    return RunFileDialog(mainWindow_.data(), request, FileDialogMode::Open);
}

std::optional<std::string> QtHost::SaveFileDialog(const FileDialogRequest& request) {
    BeforeModal();
    return RunFileDialog(mainWindow_.data(), request, FileDialogMode::Save);
}

LocalDateTime QtHost::Now() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}

void QtHost::CloseMainWindow() {
    QPointer<QWidget> window = mainWindow_;
    QMetaObject::invokeMethod(
        this, [window] { if (window) window->close(); }, Qt::QueuedConnection);
}

}  // namespace qvd::ui
