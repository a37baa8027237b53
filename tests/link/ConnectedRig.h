#pragma once
// A program connected to the virtual adapter at COM1 without running the
// search, with the start-up notice already answered.
#include "support/Rig.h"

namespace qvd::test {

struct ConnectedRig : Rig {
    sim::QvdDevice& device;

    explicit ConnectedRig(sim::DeviceConfig config = {}) : device(AddAdapter(1, config)) {
        StartAndEnumerate();
        EnterConnected(1, config.moduleType);
        host.messages.clear();
    }

    // Runs until the next status poll has reached the adapter. The tick that
    // sent it has ended by then, nested waits included.
    bool Poll() {
        const int before = device.polls;
        return host.RunUntil([&] { return device.polls > before; }, 5000);
    }
    bool PortOpen() { return ports.ports()["COM1"].open; }
    size_t LogSize() const { return program->form.Memo1.lines.size(); }
    // Not connected any more: operations and the disconnect are off, but the
    // window takes input and a new search can start.
    bool OnlySearchOffered() {
        MainForm& f = form();
        return !f.Button7.enabled && !f.Button2.enabled && !f.Extr.enabled && !f.Button5.enabled &&
               f.Button3.enabled && f.Button1.enabled && f.window.enabled;
    }
};

}  // namespace qvd::test
