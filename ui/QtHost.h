#pragma once
// The program's outside world on Qt: the steady millisecond clock, the event
// wait, modal boxes, file dialogs, the local clock and the main window's close.
#include "core/host/Host.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <set>
#include <vector>

class QTimer;

namespace qvd::ui {

class QtHost : public QObject, public Host {
public:
    QtHost();
    ~QtHost() override;

    uint32_t TickCount() override;
    void WaitAndDispatch(uint32_t deadline) override;
    void Sleep(uint32_t ms) override;
    void Post(std::function<void()> fn) override;
    void ScheduleWake(uint32_t when) override;
    void SetWakeHandler(std::function<void()> handler) override;

    bool AskYesNo(const std::string& title, const std::string& text) override;
    void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon,
                     bool centredOnScreen = false) override;
    std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) override;
    std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) override;
    LocalDateTime Now() override;
    void CloseMainWindow() override;

    // The window that boxes and dialogs belong to and that CloseMainWindow closes.
    void SetMainWindow(QWidget* window) { mainWindow_ = window; }
    QWidget* MainWindow() const { return mainWindow_; }
    // Runs before every box and dialog, so the windows show the model first.
    // Dropped when `owner` is gone.
    void AddBeforeModal(QObject* owner, std::function<void()> fn);

    // Runs a handler of the core. An exception that gets this far is shown in
    // an error box with its text, and the program goes on.
    void Run(const std::function<void()>& handler);

private:
    int64_t NowMs() const { return clock_.elapsed(); }
    void ArmWakeTimer();
    void OnWakeTimer();
    void BeforeModal();

    QElapsedTimer clock_;
    // Requested wakes on the 64-bit timeline of clock_. Several core timers
    // may be waiting at once; one Qt timer serves the earliest.
    std::multiset<int64_t> wakes_;
    QTimer* wakeTimer_;
    std::function<void()> wakeHandler_;
    QPointer<QWidget> mainWindow_;
    std::vector<std::pair<QPointer<QObject>, std::function<void()>>> beforeModal_;
};

}  // namespace qvd::ui
