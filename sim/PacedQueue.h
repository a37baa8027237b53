#pragma once
// Bytes on their way down a serial line: each becomes available only when
// its transmission at the line rate would have finished. Times are
// nanoseconds on any monotonic clock.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qvd::sim {

class PacedQueue {
public:
    // bytesPerSecond 0: no pacing, bytes are available at once.
    explicit PacedQueue(int bytesPerSecond) : rate_(bytesPerSecond) {}

    void Push(const std::string& bytes, int64_t nowNs);
    // The line stays quiet for ns after the bytes pushed so far (or from now
    // when it is idle): a device that thinks or stalls. Holds unpaced too.
    void PushGap(int64_t ns, int64_t nowNs);
    // Removes and returns the bytes that are through by nowNs.
    std::string TakeDue(int64_t nowNs);
    // When the next byte will be through; nullopt when nothing waits.
    std::optional<int64_t> NextDueNs() const;
    bool Empty() const { return head_ == queue_.size(); }

private:
    int64_t LineNs(uint64_t bytes) const;
    int64_t DoneAt(uint64_t bytes) const;  // when the run's first `bytes` are through
    uint64_t ThroughBy(int64_t nowNs) const;
    void StartRunIfIdle(int64_t nowNs);

    int rate_;
    std::string queue_;
    size_t head_ = 0;      // bytes of queue_ already taken
    int64_t base_ = 0;     // when the current back-to-back run started
    uint64_t taken_ = 0;   // bytes of that run already through
    uint64_t pushed_ = 0;  // bytes of that run pushed so far
    // Quiet spells of the run: (bytes pushed before it, ns), in order.
    std::vector<std::pair<uint64_t, int64_t>> gaps_;
};

}  // namespace qvd::sim
