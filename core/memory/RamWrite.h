#pragma once
// Writing an image file back into the module's RAM, and clearing the RAM.
// Both replace what the module holds, so both ask first.
#include "core/form/MainForm.h"
#include "core/host/Host.h"
#include "core/link/CommandExchange.h"
#include "core/link/Connection.h"

#include <string>

namespace qvd {

class RamWrite {
public:
    RamWrite(Host& host, MainForm& form, CommandExchange& link, Connection& conn);

    // "RAM-Inhalt laden".
    void RestoreRamFromFile();
    // "RAM löschen".
    void ClearRam();

private:
    // Sends the image in its blocks; the number of bytes that went out.
    size_t SendImage(const std::string& image);
    void RefuseSize();

    Host& host_;
    MainForm& form_;
    CommandExchange& link_;
    Connection& conn_;
};

}  // namespace qvd
