#include "core/link/CommandExchange.h"

#include "core/wire/Text.h"
#include "core/wire/ModuleProfile.h"

namespace qvd {

uint32_t AnswerTime(const std::string& command, uint16_t expectedLength, uint8_t moduleType) {
    const ModuleProfile* profile = FindProfile(moduleType);
    if (command == "g0010") return profile ? profile->ramChecksumWaitMs : 0;
    if (command == "g0020") return profile ? profile->epromChecksumWaitMs : 0;
    return static_cast<uint32_t>(expectedLength) * 5;
}

CommandExchange::CommandExchange(EventPump& pump, TVaComm& comm, const Connection& conn)
    : pump_(pump), comm_(comm), conn_(conn) {}

void CommandExchange::SetActivity(bool exchanging) {
    busy_ = exchanging;
    if (onActivity) onActivity(exchanging);
}

void CommandExchange::ReportError(const std::string& text) {
    if (onError) onError(text);
}

void CommandExchange::ReportLinkFailure(const EVaCommError& error) {
    lastAnswer_ = "---";
    SetActivity(false);
    if (raiseLinkFailures_) throw error;
    // An unplugged adapter must not leave an operation half-done with the
    // window locked: report it and let the caller's failure path run.
    ReportError(error.what());
}

void CommandExchange::ReportPortFailure(const EVaCommError& error) {
    if (raiseLinkFailures_)
        portFailure_ = error;
    else
        ReportError(error.what());
}

std::string CommandExchange::TakeInput() {
    try {
        return comm_.ReadText();
    } catch (const EVaCommError& error) {
        ReportPortFailure(error);
        return {};
    }
}

bool CommandExchange::InputWaiting() {
    try {
        return comm_.InputCount() > 0;
    } catch (const EVaCommError& error) {
        ReportPortFailure(error);
        return false;
    }
}

bool CommandExchange::WriteBlock(const std::string& bytes) {
    try {
        return comm_.WriteText(bytes);
    } catch (const EVaCommError& error) {
        ReportPortFailure(error);
        return false;
    }
}

void CommandExchange::OpenPort(int portNum) {
    comm_.SetPortNum(portNum);
    comm_.Open();
}

void CommandExchange::RaiseToldFailure() {
    if (!raiseLinkFailures_ || !portFailure_) return;
    const EVaCommError error = *portFailure_;
    portFailure_.reset();
    throw error;
}

void CommandExchange::DiscardInput() {
    try {
        lastAnswer_ = comm_.ReadText();
    } catch (const EVaCommError& error) {
        lastAnswer_ = "---";
        if (raiseLinkFailures_) throw;
        ReportError(error.what());
    }
}

bool CommandExchange::SendCommand(const std::string& text, uint32_t ms) {
    RaiseToldFailure();
    SetActivity(true);
    bool written = false;
    try {
        written = comm_.WriteText(text);
    } catch (const EVaCommError& error) {
        ReportLinkFailure(error);
        return false;
    }
    pump_.DelayWithEvents(ms);
    SetActivity(false);
    RaiseToldFailure();
    return written;
}

bool CommandExchange::ExchangeCommand(const std::string& command, uint16_t expectedLength) {
    SetActivity(true);
    try {
        RaiseToldFailure();
        lastAnswer_ = comm_.ReadText();  // what came unasked is dropped
        if (!comm_.WriteText(command + "\r")) {
            // Nothing (or not all) went out: there is no answer to wait for.
            lastAnswer_ = "---";
            SetActivity(false);
            return false;
        }
        // A port that fails meanwhile has closed: no answer is coming, and a
        // checksum wait of 42 s must not go on for nothing.
        pump_.DelayWithEvents(AnswerTime(command, expectedLength, conn_.moduleType()),
                              [this] { return !comm_.Active(); });
        RaiseToldFailure();
        lastAnswer_ = comm_.ReadText();
    } catch (const EVaCommError& error) {
        ReportLinkFailure(error);
        return false;
    }
    const bool ok = lastAnswer_.size() == expectedLength;
    if (!ok) {
        if (!lastAnswer_.empty())
            ReportError("Fehler (" + command + "): Abweichende Befehlsantwort (" +
                        FromWire(lastAnswer_) + ").");
        lastAnswer_ = "---";
    }
    SetActivity(false);
    return ok;
}

}  // namespace qvd
