#pragma once
// The module clock in the window: reading ("Abruf"), setting ("Setzen",
// "PCzeit"), the control register groups and their field filters.
#include "core/form/MainForm.h"
#include "core/host/Host.h"
#include "core/link/CommandExchange.h"
#include "core/link/Connection.h"

#include <string>

namespace qvd {

class ClockOperations {
public:
    ClockOperations(Host& host, MainForm& form, CommandExchange& link, Connection& conn);

    // Wires the handlers of the clock controls into the form.
    void Attach();

    void Button7Click();   // "Abruf"
    void Button8Click();   // "Setzen"
    void Button30Click();  // "PCzeit"
    void Button17Click();  // RTC register bits "Setzen"
    void Button20Click();  // Timekeeper register bits "Setzen"

    // The filling variant used by the adapter search and the adp switch:
    // "f" with the layout's length, fields written, Panel3 and its colour,
    // register bits. Goes on whatever the exchange reported.
    void ReadClockIntoFields();

    void ShowRtcBits(const std::string& registers);         // CF, CE, CD
    void ShowTimekeeperBits(const std::string& characters);  // positions 1, 2, 3, 9, 10

private:
    Host& host_;
    MainForm& form_;
    CommandExchange& link_;
    Connection& conn_;
};

}  // namespace qvd
