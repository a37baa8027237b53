#pragma once
// What every operation works with: the outside world, the window, the way
// to the adapter, and the runner that owns the connection state.
#include "core/form/MainForm.h"
#include "core/host/Host.h"
#include "core/link/CommandExchange.h"
#include "core/link/OperationRunner.h"

namespace qvd {

struct OperationContext {
    Host& host;
    MainForm& form;
    CommandExchange& exchange;
    OperationRunner& runner;

    const Connection& conn() const { return runner.connection(); }
};

}  // namespace qvd
