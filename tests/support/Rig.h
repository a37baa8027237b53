#pragma once
// One whole program on virtual time with virtual COM ports: the test drives
// the real handlers and reads what a user would see.
#include "core/host/VirtualHost.h"
#include "core/link/Program.h"
#include "sim/VirtualPort.h"

#include <memory>
#include <string>
#include <vector>

namespace qvd::test {

// COM n of the rig is the virtual device "COMn".
std::string ComName(int n);

struct Rig {
    Rig();

    VirtualHost host;
    sim::VirtualPorts ports{host};
    std::unique_ptr<Program> program;

    MainForm& form() { return program->form; }
    Connection& conn() { return program->conn; }

    sim::QvdDevice& AddAdapter(int com, sim::DeviceConfig config = {}) {
        return ports.AddAdapter(ComName(com), std::move(config));
    }
    void AddSilentPort(int com) { ports.AddSilentPort(ComName(com)); }

    // Runs the start-up (notice box answered at once) and the enumeration.
    void StartAndEnumerate();
    // Start-up, enumeration and a search that must connect.
    void Connect();
    // What a successful search leaves, without the search: the port of COM n
    // open, connected, module type set, connected layout, busy lock off.
    void EnterConnected(int com, uint8_t moduleType = 1);

    // Log lines appended from line index `from` on.
    std::vector<std::string> LogSince(size_t from) const;
    bool LogContains(const std::string& line) const;
    // Commands the adapter at COM n received, from index `from`.
    std::vector<std::string> Received(int com, size_t from = 0);
};

}  // namespace qvd::test
