#pragma once
// The module clock in the window: reading ("Abruf"), setting ("Setzen",
// "PCzeit"), the control register groups and their field filters.
#include "core/form/MainForm.h"
#include "core/link/OperationRunner.h"
#include "core/host/Host.h"
#include "core/link/CommandExchange.h"
#include "core/link/Connection.h"
#include "core/wire/ModuleProfile.h"

#include <string>

namespace qvd {

class ClockOperations {
public:
    ClockOperations(Host& host, MainForm& form, CommandExchange& exchange, const Connection& conn);

    // Wires the clock fields' key filters and range checks into the form.
    void Attach();

    void ReadClock(BusyLock& lock);   // "Abruf"
    void SetClockFromFields(BusyLock& lock);   // "Setzen"
    void SetClockFromPc(BusyLock& lock);  // "PCzeit"
    void WriteRtcBits(BusyLock& lock);  // RTC register bits "Setzen"
    void WriteTimekeeperBits(BusyLock& lock);  // Timekeeper register bits "Setzen"

    // The filling variant used by the adapter search and the adp switch:
    // "f" with the layout's length, fields written, the clock display and its colour,
    // register bits. Goes on whatever the exchange reported.
    void ReadClockIntoFields();
    // The same with a given layout (the adp switch reads the adp clock
    // before the module type may say so).
    void ReadClockIntoFields(ClockLayout layout);

    void ShowRtcBits(const std::string& registers);         // CF, CE, CD
    void ShowTimekeeperBits(const std::string& characters);  // positions 1, 2, 3, 9, 10

private:
    // The set after step 1 of "Setzen": pcSeconds are the PC clock's two
    // seconds digits taken by the caller.
    Outcome WriteClock(const std::string& pcSeconds);
    // The clock display's colour by the invalid-time test of an "f" answer.
    void ShowClockValidity(ClockLayout layout, const std::string& answer);

    void KeepCalibrationInRange();
    void KeepWeekdayInRange();

    Host& host_;
    MainForm& form_;
    CommandExchange& exchange_;
    const Connection& conn_;
};

}  // namespace qvd
