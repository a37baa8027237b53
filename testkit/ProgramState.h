#pragma once
// What the rigs wait for in the program's state. The one place in testkit,
// fuzz and bench that touches the connection's fields, so that a change to
// them is met here.
#include "core/program/Program.h"

namespace qvd::test {

inline uint8_t ModuleType(Program& p) { return p.conn.moduleType; }
// As a search would have left it, for a rig that opens the port itself.
inline void SetModuleType(Program& p, uint8_t type) { p.conn.moduleType = type; }
inline bool IsIdle(Program& p) { return p.conn.state == ConnState::Idle; }
inline bool IsConnected(Program& p) { return p.conn.state == ConnState::Connected; }
// Connected, the operation over and its controls given back by a tick.
inline bool IsReleased(Program& p) { return IsConnected(p) && !p.conn.controlsHeld; }
// No transfer, no operation, no exchange waiting, nothing held: only an
// event can change anything now.
inline bool IsAtRest(Program& p) {
    return !IsTransferState(p.conn.state) && !p.conn.operationRunning && !p.link.Busy() &&
           !(IsConnected(p) && p.conn.controlsHeld);
}

}  // namespace qvd::test
