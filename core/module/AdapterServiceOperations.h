#pragma once
// The service layout's operations on the adapter itself: the adp module
// switch, clearing the error memory, and the adapter reset.
#include "core/form/MainForm.h"
#include "core/link/OperationRunner.h"
#include "core/link/CommandExchange.h"

#include <functional>

namespace qvd {

class AdapterServiceOperations {
public:
    AdapterServiceOperations(MainForm& form, CommandExchange& exchange, OperationRunner& runner);

    // "adp Modul" ticked or cleared.
    void SwitchAdpModule(BusyLock& lock);
    // "Alle Fehler löschen".
    void ClearAdapterErrors(BusyLock& lock);
    // "Reset".
    void ResetAdapter();

    // Reads the adp clock into the clock fields; connected by the wiring.
    std::function<void()> readAdpClock;

private:
    // The module type from position 3 of a fresh status answer. A failed or
    // garbled answer keeps the type the program has: every other part relies
    // on it being valid.
    void TakeModuleTypeFromStatus();

    MainForm& form_;
    CommandExchange& exchange_;
    OperationRunner& runner_;
};

}  // namespace qvd
