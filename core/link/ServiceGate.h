#pragma once
// The service functions' password gate: the menu entry, judging an entry
// handed over by the password window, and the lock-out after wrong ones.
#include "core/form/MainForm.h"
#include "core/form/OtherForms.h"
#include "core/host/Host.h"
#include "core/link/CommandExchange.h"
#include "core/link/OperationRunner.h"

#include <cstdint>
#include <functional>
#include <string>

namespace qvd {

class ServiceGate {
public:
    ServiceGate(Host& host, MainForm& form, PasswordForm& password, CommandExchange& exchange,
                OperationRunner& runner);

    // A fresh start: nothing granted, no wrong entries.
    void Reset();
    // Menu "Service".
    void ToggleService();
    // Judges a waiting entry on a tick in the connected state; false when it
    // has locked the program out (the tick polls no more then).
    bool JudgeEntry();

    int32_t wrongEntries() const { return wrongEntries_; }
    bool serviceOn() const { return serviceOn_; }

    // The lock-out's close request, made while its own lock is still on.
    std::function<void()> onLockedOut;

private:
    void LockOut();

    Host& host_;
    MainForm& form_;
    PasswordForm& password_;
    CommandExchange& exchange_;
    OperationRunner& runner_;
    int32_t wrongEntries_ = 0;
    bool serviceOn_ = false;  // service layout shown, menu entry ticked
    // Once granted, any wrong entry made while the service is off locks out
    // at once.
    bool everGranted_ = false;
};

// Whether a framed password entry matches the service password (salted hash).
bool ServicePasswordMatches(const std::string& framedEntry);

}  // namespace qvd
