#pragma once
#include "core/form/MainForm.h"
#include "core/form/MessageBox.h"
#include "core/host/Host.h"

#include <string>

namespace qvd {

// A box that waits for the user inside a tick: a tick meanwhile would poll
// and open the next box on top of this one, so the poll timer rests until
// it is confirmed.
inline void ShowBoxWithoutPolls(Host& host, MainForm& form, const std::string& text, MessageIcon icon) {
    const bool wasRunning = form.pollTimer.Enabled();
    form.pollTimer.SetEnabled(false);
    ShowBox(host, text, icon);
    if (wasRunning) form.pollTimer.SetEnabled(true);
}

}  // namespace qvd
