#include "core/link/Shutdown.h"

#include "core/link/BoxWithoutPolls.h"
#include "core/wire/ModuleProfile.h"

namespace qvd {

namespace {

constexpr int kFadeFrom = 255;
constexpr int kFadeTo = 85;

}  // namespace

Shutdown::Shutdown(Host& host, MainForm& form, CommandExchange& exchange, OperationRunner& runner)
    : host_(host), form_(form), exchange_(exchange), runner_(runner) {}

void Shutdown::CloseAfterLockOut() {
    closeAfterLockOut_ = true;
    host_.CloseMainWindow();
}

bool Shutdown::MayClose() {
    // A running operation is one from its click to its last message: a save
    // still verifying must not have its port closed under it.
    const bool busy = runner_.Busy() && !closeAfterLockOut_;
    if (runner_.connection().InTransfer() || busy) {
        ShowBoxWithoutPolls(host_, form_, "QVD-Modul Kommunikation\r\rDatentransfer...", MessageIcon::Error);
        return false;
    }
    // A second request during this one's waits: the first one closes.
    if (closing_) return false;
    closing_ = true;
    LetAdapterGo();
    exchange_.DelayWithEvents(1000);
    return true;
}

void Shutdown::LetAdapterGo() {
    const ModuleProfile* profile = FindProfile(runner_.connection().moduleType());
    if (profile && profile->switchAdpOffAtClose) exchange_.ExchangeCommand("a0000", 6);
    exchange_.DelayWithEvents(10);
    runner_.Dropped();
    form_.pollTimer.SetEnabled(false);
    exchange_.SendCommand(std::string(1, kReleaseByte), 1);
    exchange_.ClosePort();
}

void Shutdown::FadeOut() {
    for (int alpha = kFadeFrom; alpha >= kFadeTo; --alpha) {
        form_.alpha = alpha;
        form_.Changed();
    }
}

}  // namespace qvd
