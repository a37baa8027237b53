#include "sim/PacedQueue.h"

#include <algorithm>

namespace qvd::sim {

int64_t PacedQueue::DoneAt(uint64_t bytes) const {
    return base_ + static_cast<int64_t>((bytes * 1'000'000'000ULL + rate_ - 1) / rate_);
}

void PacedQueue::Push(const std::string& bytes, int64_t nowNs) {
    if (bytes.empty()) return;
    // A line that has fallen idle starts a new run now; otherwise the bytes
    // follow the ones still on the line without a gap.
    if (rate_ > 0 && queue_.empty() && DoneAt(pushed_) <= nowNs) {
        base_ = nowNs;
        taken_ = 0;
        pushed_ = 0;
    }
    queue_ += bytes;
    pushed_ += bytes.size();
}

std::string PacedQueue::TakeDue(int64_t nowNs) {
    size_t n = queue_.size();
    if (rate_ > 0) {
        const int64_t elapsed = std::max<int64_t>(nowNs - base_, 0);
        const uint64_t through = static_cast<uint64_t>(elapsed) * static_cast<uint64_t>(rate_) / 1'000'000'000ULL;
        n = static_cast<size_t>(std::min<uint64_t>(through > taken_ ? through - taken_ : 0, queue_.size()));
    }
    std::string out = queue_.substr(0, n);
    queue_.erase(0, n);
    taken_ += n;
    return out;
}

std::optional<int64_t> PacedQueue::NextDueNs() const {
    if (queue_.empty()) return std::nullopt;
    if (rate_ == 0) return 0;
    return DoneAt(taken_ + 1);
}

}  // namespace qvd::sim
