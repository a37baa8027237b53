#pragma once
// The connection's state: how far the supervisor has come, which adapter and
// module are connected, and which transfer streams in. Everyone reads it; the
// operation runner alone changes it, through its named transitions.
#include <cstdint>
#include <optional>
#include <string>

namespace qvd {

enum class ConnState : uint8_t {
    Start = 0,
    Enumerate = 1,
    Idle = 2,
    Connected = 3,
    FileRead = 4,
    RamViewRead = 5,
    EpromViewRead = 7,
};

// What a running bulk read does with the stream.
enum class TransferKind : uint8_t { RamSave, EpromSave, RamComparison, RamView, EpromView };

inline bool IsTransferState(ConnState s) {
    return s == ConnState::FileRead || s == ConnState::RamViewRead || s == ConnState::EpromViewRead;
}

class Connection {
public:
    ConnState state() const { return state_; }
    bool InTransfer() const { return IsTransferState(state_); }
    // Set while a bulk read streams in.
    std::optional<TransferKind> transfer() const { return transfer_; }
    uint8_t moduleType() const { return moduleType_; }
    // The identified adapter carries the service marking.
    bool serviceAdapter() const { return serviceAdapter_; }
    // The four characters after the first " V" of the identification line;
    // empty when there is none.
    const std::string& adapterVersion() const { return adapterVersion_; }

private:
    friend class OperationRunner;
    ConnState state_ = ConnState::Start;
    std::optional<TransferKind> transfer_;
    uint8_t moduleType_ = 0;
    bool serviceAdapter_ = false;
    std::string adapterVersion_;
};

}  // namespace qvd
