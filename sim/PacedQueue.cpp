#include "sim/PacedQueue.h"

#include <algorithm>
#include <limits>

namespace qvd::sim {

int64_t PacedQueue::LineNs(uint64_t bytes) const {
    return rate_ > 0 ? static_cast<int64_t>((bytes * 1'000'000'000ULL + rate_ - 1) / rate_) : 0;
}

int64_t PacedQueue::DoneAt(uint64_t bytes) const {
    int64_t quiet = 0;
    for (const auto& [before, ns] : gaps_)
        if (before < bytes) quiet += ns;
    return base_ + LineNs(bytes) + quiet;
}

void PacedQueue::StartRunIfIdle(int64_t nowNs) {
    // A line that has fallen idle starts a new run now; otherwise the bytes
    // follow the ones still on the line without a gap.
    int64_t quiet = 0;
    for (const auto& gap : gaps_) quiet += gap.second;
    if (!Empty() || base_ + LineNs(pushed_) + quiet > nowNs) return;
    base_ = nowNs;
    taken_ = 0;
    pushed_ = 0;
    gaps_.clear();
    queue_.clear();
    head_ = 0;
}

void PacedQueue::Push(const std::string& bytes, int64_t nowNs) {
    if (bytes.empty()) return;
    StartRunIfIdle(nowNs);
    queue_ += bytes;
    pushed_ += bytes.size();
}

void PacedQueue::PushGap(int64_t ns, int64_t nowNs) {
    if (ns <= 0) return;
    StartRunIfIdle(nowNs);
    gaps_.emplace_back(pushed_, ns);
}

uint64_t PacedQueue::ThroughBy(int64_t nowNs) const {
    // Between two quiet spells the bytes go back to back; walk the spells.
    uint64_t through = taken_;
    int64_t quiet = 0;
    size_t g = 0;
    for (;;) {
        while (g < gaps_.size() && gaps_[g].first <= through) quiet += gaps_[g++].second;
        const uint64_t limit = g < gaps_.size() ? gaps_[g].first : pushed_;
        const int64_t elapsed = nowNs - base_ - quiet;
        if (elapsed < 0) return through;
        const uint64_t k = rate_ > 0 ? static_cast<uint64_t>(elapsed) * static_cast<uint64_t>(rate_) / 1'000'000'000ULL
                                     : std::numeric_limits<uint64_t>::max();
        if (k < limit) return std::max(through, k);
        through = limit;
        if (through >= pushed_) return pushed_;
    }
}

std::string PacedQueue::TakeDue(int64_t nowNs) {
    const uint64_t through = ThroughBy(nowNs);
    const size_t n = static_cast<size_t>(through - taken_);
    std::string out = queue_.substr(head_, n);
    head_ += n;
    taken_ += n;
    // Long streams are taken a dozen bytes at a time: drop the front only
    // now and then, not on every take.
    if (head_ == queue_.size() || head_ > 65536) {
        queue_.erase(0, head_);
        head_ = 0;
    }
    return out;
}

std::optional<int64_t> PacedQueue::NextDueNs() const {
    if (Empty()) return std::nullopt;
    return DoneAt(taken_ + 1);
}

}  // namespace qvd::sim
