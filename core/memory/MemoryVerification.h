#pragma once
// The checks after a binary read: the adapter's sum over what it sent (from
// the status answer), and from version 1.10 on its sum over the memory
// itself, asked for once more when the first answer differs.
#include "core/link/OperationContext.h"

#include <cstdint>
#include <functional>
#include <string>

namespace qvd {

class MemoryVerification {
public:
    explicit MemoryVerification(OperationContext& ctx) : ctx_(ctx) {}

    // The whole check of a saved file of fileSize bytes and sum fileSum.
    void VerifySave(bool eprom, uint64_t fileSize, uint64_t receivedBytes, uint16_t fileSum);
    // Only the transfer sum: true when the received bytes are what the
    // adapter sent. Told otherwise.
    bool TransferSumHolds(uint16_t receivedSum);
    // An exchange of the verification got no answer. When the port is
    // closed, told as such, which is not a checksum error; true then.
    bool ReportLost();
    // The outcome of the last VerifySave: the file holds what the module holds.
    bool passed() const { return passed_; }

    // Asked before a failure's box; what it returns ends the box's text.
    std::function<std::string()> failureNote;

private:
    void VerifyMemoryChecksum(bool eprom, const std::string& sum);
    void ShowBox(const std::string& text, MessageIcon icon);

    OperationContext& ctx_;
    bool passed_ = false;
};

}  // namespace qvd
