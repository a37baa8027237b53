#include "core/link/CommandExchange.h"

#include "core/form/Text.h"
#include "core/module/ModuleProfile.h"

#include <cstdio>

namespace qvd {

std::string FormatHex4(uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(value));
    return text;
}

uint32_t AnswerTime(const std::string& command, uint16_t expectedLength, uint8_t moduleType) {
    const ModuleProfile* profile = FindProfile(moduleType);
    if (command == "g0010") return profile && profile->ramChecksumWaitMs ? profile->ramChecksumWaitMs : 0;
    if (command == "g0020") return profile && profile->epromChecksumWaitMs ? profile->epromChecksumWaitMs : 0;
    return static_cast<uint32_t>(expectedLength) * 5;
}

CommandExchange::CommandExchange(EventPump& pump, TVaComm& comm, MainForm& form, Connection& conn)
    : pump_(pump), comm_(comm), form_(form), conn_(conn) {}

void CommandExchange::ReportLinkFailure(const EVaCommError& error) {
    // An unplugged adapter must not leave an operation half-done with the
    // window locked: report it and let the caller's failure path run.
    form_.LogError(error.what());
    conn_.lastAnswer = "---";
    form_.Panel4.SetColor(colors::Navy);
}

void CommandExchange::SendCommand(const std::string& text, uint32_t ms) {
    form_.Panel4.SetColor(colors::Aqua);
    try {
        comm_.WriteText(text);
    } catch (const EVaCommError& error) {
        ReportLinkFailure(error);
        return;
    }
    pump_.DelayWithEvents(ms);
    form_.Panel4.SetColor(colors::Navy);
}

bool CommandExchange::ExchangeCommand(const std::string& command, uint16_t expectedLength) {
    form_.Panel4.SetColor(colors::Aqua);
    try {
        conn_.lastAnswer = comm_.ReadText();  // what came unasked is dropped
        comm_.WriteText(command + "\r");
        pump_.DelayWithEvents(AnswerTime(command, expectedLength, conn_.moduleType));
        conn_.lastAnswer = comm_.ReadText();
    } catch (const EVaCommError& error) {
        ReportLinkFailure(error);
        return false;
    }
    bool ok = conn_.lastAnswer.size() == expectedLength;
    if (!ok) {
        if (!conn_.lastAnswer.empty())
            form_.LogError("Fehler (" + command + "): Abweichende Befehlsantwort (" +
                           FromWire(conn_.lastAnswer) + ").");
        conn_.lastAnswer = "---";
    }
    form_.Panel4.SetColor(colors::Navy);
    return ok;
}

}  // namespace qvd
