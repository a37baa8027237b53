#pragma once
// The outside world the program logic runs in: time, event dispatch, modal
// boxes, file dialogs, the local clock and closing the main window. The app
// supplies a Qt host, tests a virtual one.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace qvd {

enum class MessageIcon { None, Error, Warning, Information, Question };

struct LocalDateTime {
    int year = 2000;  // full year
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

struct FileDialogRequest {
    std::string title;
    std::string filter;       // e.g. "RAM-Dateien (*.dat)"
    std::string defaultName;  // suggested file name
    std::string defaultExt;   // without dot
};

class Host {
public:
    virtual ~Host() = default;

    // Milliseconds since an arbitrary start, wrapping at 2^32.
    virtual uint32_t TickCount() = 0;
    // Dispatches what is pending; when nothing is, waits for the next event,
    // but not past the tick `deadline`.
    virtual void WaitAndDispatch(uint32_t deadline) = 0;
    // Sleeps without dispatching anything.
    virtual void Sleep(uint32_t ms) = 0;
    // Queues fn to run on the user-interface thread. Callable from any thread.
    virtual void Post(std::function<void()> fn) = 0;
    // Asks to be woken (handler set by SetWakeHandler) at the tick `when`.
    virtual void ScheduleWake(uint32_t when) = 0;
    virtual void SetWakeHandler(std::function<void()> handler) = 0;

    // Modal box with one OK button; returns when the user has confirmed it.
    virtual void ShowMessage(const std::string& title, const std::string& text,
                             MessageIcon icon, bool centredOnScreen = false) = 0;
    // Modal question with Yes and No; true only for Yes.
    virtual bool AskYesNo(const std::string& title, const std::string& text) = 0;
    virtual std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) = 0;
    // Asks before overwriting an existing file.
    virtual std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) = 0;

    virtual LocalDateTime Now() = 0;
    // Asks the main window to close, as the user's close button would. Never
    // closes synchronously: the caller may be deep inside a handler.
    virtual void CloseMainWindow() = 0;
};

}  // namespace qvd
