#pragma once
// What the rigs wait for in the program's state, in one place for testkit,
// fuzz and bench.
#include "core/program/Program.h"

namespace qvd::test {

inline uint8_t ModuleType(Program& p) { return p.conn().moduleType(); }
// As a search would have left it, for a rig that opens the port itself.
inline void SetModuleType(Program& p, uint8_t type) { p.runner.ModuleTypeRead(type); }
inline bool IsIdle(Program& p) { return p.conn().state() == ConnState::Idle; }
inline bool IsConnected(Program& p) { return p.conn().state() == ConnState::Connected; }
// Connected, the operation over (its verification included) and its
// controls given back by a tick.
inline bool IsReleased(Program& p) { return IsConnected(p) && !p.runner.Busy() && !p.runner.ControlsHeld(); }
// No transfer, no operation, no exchange waiting, nothing held: only an
// event can change anything now.
inline bool IsAtRest(Program& p) {
    return !p.conn().InTransfer() && !p.runner.Busy() && !p.exchange.Busy() && !(IsConnected(p) && p.runner.ControlsHeld());
}

}  // namespace qvd::test
