#pragma once
// The connection's shared data, read and written by the supervisor, the
// search and the operations.
#include <cstdint>
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

inline bool IsTransferState(ConnState s) {
    return s == ConnState::FileRead || s == ConnState::RamViewRead || s == ConnState::EpromViewRead;
}

struct Connection {
    ConnState state = ConnState::Start;
    uint8_t moduleType = 0;
    std::string lastAnswer;          // raw bytes of the last exchange, "---" after a wrong length
    uint8_t noAnswerCount = 0;
    std::string lastErrorCode;       // two characters, empty after a search
    int32_t wrongPasswordCount = 0;
    bool serviceAdapter = false;
    std::string lastPollAnswer;      // the last status answer the poll displayed
};

}  // namespace qvd
