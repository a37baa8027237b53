#include "core/clock/ClockOperations.h"

namespace qvd {

ClockOperations::ClockOperations(Host& host, MainForm& form, CommandExchange& link, Connection& conn)
    : host_(host), form_(form), link_(link), conn_(conn) {}

void ClockOperations::Attach() {}
void ClockOperations::Button7Click() {}
void ClockOperations::Button8Click() {}
void ClockOperations::Button30Click() {}
void ClockOperations::Button17Click() {}
void ClockOperations::Button20Click() {}
void ClockOperations::ReadClockIntoFields() {}
void ClockOperations::ShowRtcBits(const std::string&) {}
void ClockOperations::ShowTimekeeperBits(const std::string&) {}

}  // namespace qvd
