#pragma once
#include "core/form/MainForm.h"
#include "core/host/Host.h"

#include <string>

namespace qvd {

// Every box of the program carries the window caption as its title; only the
// notice at start-up carries the program title.
inline void ShowBox(Host& host, const std::string& text, MessageIcon icon) {
    host.ShowMessage(kWindowCaption, text, icon);
}

}  // namespace qvd
