#pragma once
// Request and answer with the adapter: a command, a fixed wait, and whatever
// has arrived by then, accepted by its length alone.
#include "core/form/MainForm.h"
#include "core/host/EventPump.h"
#include "core/link/Connection.h"
#include "core/serial/TVaComm.h"

#include <cstdint>
#include <string>

namespace qvd {

inline constexpr char kReleaseByte = static_cast<char>(0xDF);
inline constexpr char kProbeByte = static_cast<char>(0xF6);

// Four upper-case hex digits.
std::string FormatHex4(uint16_t value);

// How long to wait for the answer to `command` (ms).
uint32_t AnswerTime(const std::string& command, uint16_t expectedLength, uint8_t moduleType);

class CommandExchange {
public:
    CommandExchange(EventPump& pump, TVaComm& comm, MainForm& form, Connection& conn);

    void DelayWithEvents(uint32_t ms) { pump_.DelayWithEvents(ms); }
    // Writes text as it is (no carriage return) and waits ms.
    void SendCommand(const std::string& text, uint32_t ms);
    // Flush, command + CR, wait, read; true when exactly expectedLength bytes
    // came. Otherwise the last answer is "---".
    bool ExchangeCommand(const std::string& command, uint16_t expectedLength);

    const std::string& LastAnswer() const { return conn_.lastAnswer; }
    TVaComm& comm() { return comm_; }
    EventPump& pump() { return pump_; }

private:
    void ReportLinkFailure(const EVaCommError& error);

    EventPump& pump_;
    TVaComm& comm_;
    MainForm& form_;
    Connection& conn_;
};

}  // namespace qvd
