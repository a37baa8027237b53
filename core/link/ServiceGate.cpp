#include "core/link/ServiceGate.h"

#include "core/link/BoxWithoutPolls.h"

namespace qvd {

namespace {

constexpr uint32_t kLockOutPause = 17000;

}  // namespace

ServiceGate::ServiceGate(Host& host, MainForm& form, PasswordForm& password, CommandExchange& exchange,
                         OperationRunner& runner)
    : host_(host), form_(form), password_(password), exchange_(exchange), runner_(runner) {}

void ServiceGate::Reset() {
    wrongEntries_ = 0;
    serviceOn_ = everGranted_ = false;
}

void ServiceGate::ToggleService() {
    if (serviceOn_) {
        form_.LogInfo("Servicefunktionen abgeschaltet");
        form_.SetWidth(kNormalWidth);
        serviceOn_ = false;
        form_.serviceItem.SetChecked(false);
        return;
    }
    password_.window.SetCaption("Servicebereich");
    password_.window.SetVisible(true);
}

bool ServiceGate::JudgeEntry() {
    // The dialog hands its entry over into the hidden field; it is judged only here, so
    // an entry made while not connected waits for the connection.
    if (password_.handOverEdit.caption.empty()) return true;
    if (!ServicePasswordMatches(password_.handOverEdit.caption)) {
        ++wrongEntries_;
        form_.LogInfo("Servicefunktionen verfügbar.");  // says nothing to a guesser
    } else if (runner_.connection().serviceAdapter()) {
        form_.SetWidth(kServiceWidth);
        serviceOn_ = everGranted_ = true;
        form_.serviceItem.SetChecked(true);
    } else {
        form_.LogInfo("Servicefunktionen 2 verfügbar.");
    }
    password_.handOverEdit.SetCaption("");
    const bool lockedOut = wrongEntries_ > 2 || everGranted_;
    if (lockedOut && !serviceOn_) {
        LockOut();
        return false;
    }
    return true;
}

void ServiceGate::LockOut() {
    runner_.Dropped();
    form_.LogError("Wiederholte falsche Passworteingabe. Bitte warten...");
    form_.EnableOperationControls(false);
    ShowBoxWithoutPolls(host_, form_,
                        "Wiederholte falsche Passworteingabe. Keine Berechtigung zu dieser Servicefunktion.",
                        MessageIcon::Warning);
    exchange_.DelayWithEvents(kLockOutPause);
    if (onLockedOut) onLockedOut();
}

}  // namespace qvd
