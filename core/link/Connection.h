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
    std::string lastPollAnswer;      // the last status answer the poll displayed

    // An operation handler is running; its waits let events in, and a second
    // operation or a close must not start then.
    bool operationRunning = false;
    // The operation controls are off and wait for the next tick in the
    // connected state to switch them on again.
    bool controlsHeld = false;

    // Service functions.
    int32_t wrongPasswordCount = 0;
    bool serviceAdapter = false;      // the identified adapter carries the service marking
    bool serviceOn = false;           // service layout shown, menu entry ticked
    // Once granted, any wrong entry made while the service is off locks out
    // at once.
    bool serviceEverGranted = false;
};

}  // namespace qvd
