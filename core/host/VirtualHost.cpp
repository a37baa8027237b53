#include "core/host/VirtualHost.h"

#include <algorithm>
#include <ctime>

namespace qvd {

VirtualHost::VirtualHost(uint32_t startTick) : now_(startTick), clockBase_(startTick) {}

void VirtualHost::At(uint64_t time, std::function<void()> fn) {
    events_.push_back({time, seq_++, std::move(fn)});
    std::push_heap(events_.begin(), events_.end(), Later);
}

void VirtualHost::ScheduleWake(uint32_t when) {
    // Ticks are 32-bit; map them onto the 64-bit timeline relative to now.
    const int32_t ahead = static_cast<int32_t>(when - static_cast<uint32_t>(now_));
    const uint64_t at = ahead > 0 ? now_ + static_cast<uint64_t>(ahead) : now_;
    At(at, [this] {
        if (wake_) wake_();
    });
}

void VirtualHost::RunDue(uint64_t upTo) {
    while (HasEventBy(upTo)) {
        std::pop_heap(events_.begin(), events_.end(), Later);
        Event event = std::move(events_.back());
        events_.pop_back();
        if (event.time > now_) now_ = event.time;
        RunEvent(event.fn);
    }
}

void VirtualHost::WaitAndDispatch(uint32_t deadline) {
    if (!posted_.empty()) {
        auto batch = std::move(posted_);
        posted_.clear();
        for (auto& fn : batch) RunEvent(fn);
        return;
    }
    const int32_t ahead = static_cast<int32_t>(deadline - static_cast<uint32_t>(now_));
    const uint64_t target = ahead > 0 ? now_ + static_cast<uint64_t>(ahead) : now_;
    if (HasEventBy(target)) {
        const uint64_t at = events_.front().time;
        if (at > now_) now_ = at;
        // Everything due at this instant, as one dispatch.
        RunDue(now_);
        return;
    }
    now_ = target;
}

void VirtualHost::RunFor(uint32_t ms) {
    const uint64_t end = now_ + ms;
    while (now_ < end || !posted_.empty() || HasEventBy(end)) {
        WaitAndDispatch(static_cast<uint32_t>(end));
        if (now_ > end) break;
    }
}

bool VirtualHost::RunUntil(const std::function<bool()>& pred, uint32_t maxMs) {
    const uint64_t end = now_ + maxMs;
    while (!pred()) {
        if (now_ >= end && posted_.empty() && !HasEventBy(end))
            return pred();
        WaitAndDispatch(static_cast<uint32_t>(std::min(end, now_ + 1)));
    }
    return true;
}

void VirtualHost::ShowMessage(const std::string& title, const std::string& text,
                              MessageIcon icon, bool) {
    messages.push_back({title, text, icon, TickCount()});
    const RecordedMessage shown = messages.back();
    // A modal box keeps the event loop turning while the user reads it.
    if (messageReactionMs > 0) {
        const uint64_t end = now_ + messageReactionMs;
        while (now_ < end) WaitAndDispatch(static_cast<uint32_t>(end));
    }
    if (onMessage) onMessage(shown);
}

bool VirtualHost::AskYesNo(const std::string& title, const std::string& text) {
    messages.push_back({title, text, MessageIcon::Question, TickCount()});
    if (onMessage) onMessage(messages.back());
    if (yesNoAnswers.empty()) return false;
    const bool yes = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return yes;
}

std::optional<std::string> VirtualHost::OpenFileDialog(const FileDialogRequest& request) {
    dialogs.push_back(request);
    if (openAnswers.empty()) return std::nullopt;
    auto answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
}

std::optional<std::string> VirtualHost::SaveFileDialog(const FileDialogRequest& request) {
    dialogs.push_back(request);
    if (saveAnswers.empty()) return std::nullopt;
    auto answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
}

LocalDateTime VirtualHost::Now() {
    std::tm tm{};
    tm.tm_year = pcClock.year - 1900;
    tm.tm_mon = pcClock.month - 1;
    tm.tm_mday = pcClock.day;
    tm.tm_hour = pcClock.hour;
    tm.tm_min = pcClock.minute;
    tm.tm_sec = pcClock.second + static_cast<int>((now_ - clockBase_) / 1000);
    tm.tm_isdst = 0;
    const time_t t = timegm(&tm);
    std::tm out{};
    gmtime_r(&t, &out);
    return {out.tm_year + 1900, out.tm_mon + 1, out.tm_mday, out.tm_hour, out.tm_min, out.tm_sec};
}

void VirtualHost::CloseMainWindow() {
    Post([this] {
        ++closeRequests;
        if (onCloseRequest) onCloseRequest();
    });
}

}  // namespace qvd
