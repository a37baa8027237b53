#pragma once
// The close request of the main window: refused while an operation runs,
// otherwise the adapter is let go, the port closed, and the window fades.
#include "core/form/MainForm.h"
#include "core/host/Host.h"
#include "core/link/CommandExchange.h"
#include "core/link/OperationRunner.h"

namespace qvd {

class Shutdown {
public:
    Shutdown(Host& host, MainForm& form, CommandExchange& exchange, OperationRunner& runner);

    // False keeps the window open.
    bool MayClose();
    // What the close does at the adapter: the adp module switched off, the
    // release byte, the port closed. For a caller that has no window to fade.
    void LetAdapterGo();
    // The fading close; the window closes after it.
    void FadeOut();
    // The lock-out asks for the close itself, from inside a running lock.
    void CloseAfterLockOut();

private:
    Host& host_;
    MainForm& form_;
    CommandExchange& exchange_;
    OperationRunner& runner_;
    bool closeAfterLockOut_ = false;
    // A close request is being carried out (its waits let further ones in).
    bool closing_ = false;
};

}  // namespace qvd
