#pragma once
// Bytes on their way down a serial line: each becomes available only when
// its transmission at the line rate would have finished. Times are
// nanoseconds on any monotonic clock.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace qvd::sim {

class PacedQueue {
public:
    // bytesPerSecond 0: no pacing, bytes are available at once.
    explicit PacedQueue(int bytesPerSecond) : rate_(bytesPerSecond) {}

    void Push(const std::string& bytes, int64_t nowNs);
    // Removes and returns the bytes that are through by nowNs.
    std::string TakeDue(int64_t nowNs);
    // When the next byte will be through; nullopt when nothing waits.
    std::optional<int64_t> NextDueNs() const;
    bool Empty() const { return queue_.empty(); }

private:
    int64_t DoneAt(uint64_t bytes) const;

    int rate_;
    std::string queue_;
    int64_t base_ = 0;     // when the current back-to-back run started
    uint64_t taken_ = 0;   // bytes of that run already through
    uint64_t pushed_ = 0;  // bytes of that run pushed so far
};

}  // namespace qvd::sim
