#pragma once
// Request and answer with the adapter: a command, a fixed wait, and whatever
// has arrived by then, accepted by its length alone. The one way to the
// port: operations open, write, read and close it through here, and every
// failure of the port takes one path.
#include "core/host/EventPump.h"
#include "core/link/Connection.h"
#include "core/serial/TVaComm.h"
#include "core/wire/Hex.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace qvd {

inline constexpr char kReleaseByte = static_cast<char>(0xDF);
inline constexpr char kProbeByte = static_cast<char>(0xF6);

// How long to wait for the answer to `command` (ms).
uint32_t AnswerTime(const std::string& command, uint16_t expectedLength, uint8_t moduleType);

class CommandExchange {
public:
    CommandExchange(EventPump& pump, TVaComm& comm, const Connection& conn);

    void DelayWithEvents(uint32_t ms) { pump_.DelayWithEvents(ms); }
    // Writes text as it is (no carriage return) and waits ms. False when it
    // did not (all) go out.
    bool SendCommand(const std::string& text, uint32_t ms);
    // Flush, command + CR, wait, read; true when exactly expectedLength bytes
    // came. Otherwise the last answer is "---".
    bool ExchangeCommand(const std::string& command, uint16_t expectedLength);

    // Reads and drops whatever waits (into the last answer), as an exchange's
    // flush does; a failing port is reported like an exchange's.
    void DiscardInput();
    // What waits in the port (a streamed chunk); empty when nothing does or
    // the port failed, which is told.
    std::string TakeInput();
    // Bytes wait in the port; a failing port is told.
    bool InputWaiting();
    // One block of bytes as it is, without a wait (the RAM image). False
    // when it did not (all) go out; a failing port is told.
    bool WriteBlock(const std::string& bytes);

    // --- the port itself (enumeration and search) ---
    // The COM numbers the enumeration and the search walk (1 to 16, or the
    // one port a caller names).
    struct PortRange {
        int first = 1;
        int last = 16;
    };
    const PortRange& ports() const { return ports_; }
    void RestrictPorts(int first, int last) { ports_ = {first, last}; }
    int PortNum() const { return comm_.PortNum(); }
    std::string PortDevice() const { return comm_.ResolvedDevice(); }
    // Raises the port's error when the port cannot be opened.
    void OpenPort(int portNum);
    void ClosePort() { comm_.Close(); }
    // The search's probe and first reads: a failure raises, and the search
    // abandons the port.
    bool WriteRaw(const std::string& bytes) { return comm_.WriteText(bytes); }
    std::string ReadRaw() { return comm_.ReadText(); }

    // An exchange is waiting for its answer. Operations started now are
    // ignored: a nested exchange would flush away the waiting answer.
    bool Busy() const { return busy_; }

    // While on, a failing port raises out of the exchange instead of being
    // reported: the search abandons the port then.
    void SetLinkFailuresRaise(bool on) {
        raiseLinkFailures_ = on;
        portFailure_.reset();
    }

    // The port failed outside an exchange (its notification, a stream read,
    // a block write): told in the log's error style, unless a search is
    // abandoning the port, which raises it with the next exchange instead.
    void ReportPortFailure(const EVaCommError& error);
    // The port was lost (it failed and was closed) since it was opened.
    bool PortLost() const { return !comm_.Active(); }

    const std::string& LastAnswer() const { return lastAnswer_; }
    // The search takes a raw read as the answer it judges.
    void SetLastAnswer(std::string answer) { lastAnswer_ = std::move(answer); }
    EventPump& pump() { return pump_; }

    // True while a command is on its way (the window's activity indicator).
    std::function<void(bool exchanging)> onActivity;
    // Wrong-length answers and link failures, in the log's error style.
    std::function<void(const std::string& text)> onError;

private:
    void SetActivity(bool exchanging);
    void ReportError(const std::string& text);
    void RaiseToldFailure();
    // A failing port inside an exchange; raises instead while failures raise.
    void ReportLinkFailure(const EVaCommError& error);

    EventPump& pump_;
    TVaComm& comm_;
    const Connection& conn_;
    PortRange ports_;
    std::string lastAnswer_;  // raw bytes of the last exchange, "---" after a wrong length
    bool busy_ = false;
    bool raiseLinkFailures_ = false;
    // A failure told by the port's notification while failures raise: the
    // next exchange raises it, as a failing read or write would have.
    std::optional<EVaCommError> portFailure_;
};

}  // namespace qvd
