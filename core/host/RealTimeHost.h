#pragma once
// A host on the real clock without a window toolkit, for tools and tests that
// talk to real ports: callbacks posted from any thread run inside
// WaitAndDispatch, which sleeps on a condition variable until a post arrives,
// a wake-up falls due or the deadline passes. Boxes are recorded, dialogs
// cancelled.
#include "core/host/Host.h"
#include "core/host/VirtualHost.h"  // RecordedMessage

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace qvd {

class RealTimeHost : public Host {
public:
    uint32_t TickCount() override { return static_cast<uint32_t>(NowMs()); }
    void WaitAndDispatch(uint32_t deadline) override;
    void Sleep(uint32_t ms) override;
    void Post(std::function<void()> fn) override;
    void ScheduleWake(uint32_t when) override;
    void SetWakeHandler(std::function<void()> handler) override { wake_ = std::move(handler); }

    void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon,
                     bool centredOnScreen) override;
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
    std::optional<std::string> OpenFileDialog(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> SaveFileDialog(const FileDialogRequest&) override { return std::nullopt; }
    LocalDateTime Now() override;
    void CloseMainWindow() override;

    // Dispatches for ms milliseconds of real time.
    void RunFor(uint32_t ms);
    // Dispatches until pred holds or maxMs have passed; returns pred().
    bool RunUntil(const std::function<bool()>& pred, uint32_t maxMs);

    // Only touched on the dispatching thread.
    std::vector<RecordedMessage> messages;
    std::function<void()> onCloseRequest;
    int closeRequests = 0;

private:
    // Milliseconds of the steady clock; the tick count is its low 32 bits.
    static uint64_t NowMs();
    // The 64-bit time of a tick at most 2^31 ms ahead of now (past ticks: now).
    static uint64_t Unwrap(uint32_t tick, uint64_t now);
    bool DispatchPosted(std::unique_lock<std::mutex>& lock);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> posted_;
    std::multiset<uint64_t> wakes_;
    std::function<void()> wake_;
};

}  // namespace qvd
