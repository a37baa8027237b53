#pragma once
// A host on virtual time for tests and benchmarks: waiting advances the clock
// at once, scheduled events run in time order, boxes and dialogs are answered
// by the test and recorded.
#include "core/host/Host.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qvd {

struct RecordedMessage {
    std::string title;
    std::string text;
    MessageIcon icon = MessageIcon::None;
    uint32_t shownAt = 0;
};

class VirtualHost : public Host {
public:
    explicit VirtualHost(uint32_t startTick = 100000);

    uint32_t TickCount() override { return static_cast<uint32_t>(now_); }
    void WaitAndDispatch(uint32_t deadline) override;
    void Sleep(uint32_t ms) override { now_ += ms; }
    void Post(std::function<void()> fn) override { posted_.push_back(std::move(fn)); }
    void ScheduleWake(uint32_t when) override;
    void SetWakeHandler(std::function<void()> handler) override { wake_ = std::move(handler); }

    void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon,
                     bool centredOnScreen) override;
    bool AskYesNo(const std::string& title, const std::string& text) override;
    std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) override;
    std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) override;
    LocalDateTime Now() override;
    void CloseMainWindow() override;

    // --- for tests ---
    // Schedules fn at an absolute virtual time (64-bit, never wraps).
    void At(uint64_t time, std::function<void()> fn);
    void After(uint32_t ms, std::function<void()> fn) { At(now_ + ms, std::move(fn)); }
    uint64_t Time() const { return now_; }
    // Runs events until the virtual time has advanced by ms.
    void RunFor(uint32_t ms);
    // Runs events until pred holds or maxMs have passed; returns pred().
    bool RunUntil(const std::function<bool()>& pred, uint32_t maxMs);

    std::vector<RecordedMessage> messages;
    // How long the user takes to confirm a box (virtual ms; events run meanwhile).
    uint32_t messageReactionMs = 0;
    std::function<void(const RecordedMessage&)> onMessage;
    // Answers to the coming questions; No when none is left.
    std::deque<bool> yesNoAnswers;
    std::deque<std::optional<std::string>> openAnswers;
    std::deque<std::optional<std::string>> saveAnswers;
    std::vector<FileDialogRequest> dialogs;
    // Local time at virtual time 0 of the clock plus elapsed virtual time.
    LocalDateTime pcClock{2007, 6, 24, 12, 0, 0};
    // Called when CloseMainWindow's request is dispatched.
    std::function<void()> onCloseRequest;
    int closeRequests = 0;

protected:
    // Every scheduled or posted event runs through here; a host that wants
    // something around each event (a catch, a count) overrides it.
    virtual void RunEvent(const std::function<void()>& fn) { fn(); }

private:
    struct Event {
        uint64_t time;
        uint64_t seq;  // keeps events of one instant in the order they came
        std::function<void()> fn;
    };
    static bool Later(const Event& a, const Event& b) {
        return a.time != b.time ? a.time > b.time : a.seq > b.seq;
    }
    bool HasEventBy(uint64_t time) const { return !events_.empty() && events_.front().time <= time; }
    void RunDue(uint64_t upTo);

    uint64_t now_;
    uint64_t clockBase_;
    uint64_t seq_ = 0;
    // A heap on (time, seq), earliest in front: no node to allocate per event.
    std::vector<Event> events_;
    std::deque<std::function<void()>> posted_;
    std::function<void()> wake_;
};

}  // namespace qvd
