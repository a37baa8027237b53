#include "core/memory/BulkRead.h"

#include "core/form/Colors.h"
#include "core/memory/ProgressBar.h"
#include "core/wire/ModuleProfile.h"

namespace qvd {

namespace {

constexpr int32_t kSilentTicksToEnd = 3;

}  // namespace

uint64_t ImageSize(uint8_t moduleType, MemoryKind kind) {
    const ModuleProfile* profile = FindProfile(moduleType);
    if (!profile) return 0;
    return kind == MemoryKind::Eprom ? profile->epromImageSize : profile->ramImageSize;
}

void BulkRead::BeginStream(TransferKind kind, uint64_t expectedBytes) {
    ctx_.runner.BeginTransfer(kind);
    idleTicks_ = 0;
    receivedBytes_ = 0;
    expectedBytes_ = expectedBytes;
    running_ = streaming_ = true;
}

void BulkRead::StartBinaryStream(MemoryKind kind) {
    const bool eprom = kind == MemoryKind::Eprom;
    exchange().ExchangeCommand("d0000", 6);
    exchange().DelayWithEvents(10);
    idleTicks_ = 0;
    receivedBytes_ = 0;
    expectedBytes_ = ImageSize(ctx_.conn().moduleType(), kind);
    exchange().SendCommand(eprom ? "h\r" : "a\r", 10);
}

void BulkRead::EndBinaryStream(BusyLock& lock) {
    lock.HoldTimer();
    ctx_.runner.EndTransfer();
    form().progressBar.SetVisible(false);
}

void BulkRead::ShowProgress() { ShowTransferProgress(form().progressBar, receivedBytes_, expectedBytes_); }

void BulkRead::OnBytesReceived() {
    if (!streaming_) return;
    // A port that fails here is told; silence then ends the transfer.
    const std::string chunk = exchange().TakeInput();
    if (chunk.empty()) return;
    receivedBytes_ += chunk.size();
    Take(chunk);
    idleTicks_ = 0;
    ShowProgress();
}

bool BulkRead::StopNow() {
    if (!streaming_) return false;
    streaming_ = running_ = false;
    ctx_.runner.EndTransfer();
    form().progressBar.SetVisible(false);
    form().activityIndicator.SetColor(colors::Navy);
    Discard();
    return true;
}

void BulkRead::OnTick(BusyLock& lock) {
    if (!streaming_ || ++idleTicks_ < kSilentTicksToEnd) return;
    streaming_ = false;
    End(lock);
    running_ = false;
}

}  // namespace qvd
