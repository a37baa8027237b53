#pragma once
// What every bulk read shares: after its start command the adapter streams a
// memory area with no length and no end marker. Chunks are counted and
// handed on as they come; three silent ticks end the stream.
#include "core/link/OperationContext.h"

#include <cstdint>
#include <string>

namespace qvd {

enum class MemoryKind { Ram, Eprom };

class BulkRead : public Operation {
public:
    bool Running() const override { return running_; }
    void OnBytesReceived() override;
    void OnTick(BusyLock& lock) override;
    // While the stream comes in: the transfer ends here, nothing is checked.
    bool StopNow() override;

protected:
    explicit BulkRead(OperationContext& ctx) : ctx_(ctx) {}

    // The stream has been asked for; from now on it is received.
    void BeginStream(TransferKind kind, uint64_t expectedBytes);
    // "d0000", the counters and the start command of a binary read.
    void StartBinaryStream(MemoryKind kind);
    // A chunk of the stream; the count includes it.
    virtual void Take(const std::string& chunk) = 0;
    // The third silent tick: the stream is over.
    virtual void End(BusyLock& lock) = 0;
    // The stream was stopped before its end: what it left is no result.
    virtual void Discard() {}
    void ShowProgress();
    // The end of a binary read: the poll timer rests while the result is
    // checked (the checks' own waits must not poll), the transfer is over.
    void EndBinaryStream(BusyLock& lock);

    OperationContext& ctx_;
    MainForm& form() { return ctx_.form; }
    CommandExchange& exchange() { return ctx_.exchange; }
    uint64_t receivedBytes_ = 0;
    uint64_t expectedBytes_ = 0;  // for the progress bar; 0 when unknown

private:
    bool running_ = false;
    bool streaming_ = false;
    int32_t idleTicks_ = 0;  // ticks since the last chunk
};

// Image size of the kind for the module; 0 when the profile has none.
uint64_t ImageSize(uint8_t moduleType, MemoryKind kind);

}  // namespace qvd
