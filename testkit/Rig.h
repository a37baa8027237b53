#pragma once
// The whole program on virtual time: the test drives the real handlers and
// reads what a user would see. Its COM ports are virtual ones with the
// virtual adapter, or those of a scripted device (the fuzzer's).
#include "core/host/VirtualHost.h"
#include "core/program/Program.h"
#include "sim/VirtualPort.h"
#include "testkit/ProgramState.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace qvd::test {

using Lines = std::vector<std::string>;

// COM n of the rig is the device "COMn".
inline std::string ComName(int n) { return "COM" + std::to_string(n); }

inline bool Has(const Lines& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class Rig {
    std::unique_ptr<VirtualHost> ownHost_;

public:
    enum Setup {
        Bare,       // no ports, not started
        Opened,     // an adapter at COM1, its port open and the module type set, not started
        Connected,  // started, and connected to an adapter at COM1 by a search; no boxes recorded
    };
    explicit Rig(Setup setup = Bare, uint8_t type = 1, sim::DeviceConfig config = {});
    // On a host and ports of the caller's, not started.
    Rig(VirtualHost& host, TransportFactory transports);
    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;

    VirtualHost& host;
    sim::VirtualPorts ports{host};
    std::unique_ptr<Program> program;
    sim::QvdDevice* device = nullptr;  // the adapter at COM1, if any
    size_t sentMark = 0, logMark = 0;

    MainForm& form() const { return program->form; }
    const Connection& conn() const { return program->conn(); }
    sim::QvdDevice& AddAdapter(int com, sim::DeviceConfig config = {}) {
        return ports.AddAdapter(ComName(com), std::move(config));
    }
    void AddSilentPort(int com) { ports.AddSilentPort(ComName(com)); }

    // The start-up (notice box answered at once) and the enumeration.
    bool StartAndEnumerate(uint32_t maxMs = 30000);
    // Start-up and enumeration, then the user's search, observed from Mark().
    // Returns the virtual ms the search took.
    uint64_t Search();
    // Runs until the next status poll has reached the adapter at COM1. The
    // tick that sent it has ended by then, nested waits included.
    bool Poll();
    // Runs until an operation has ended and a tick has given the controls back.
    bool RunUntilReleased(uint32_t maxMs = 400000) {
        return host.RunUntil([&] { return IsReleased(*program); }, maxMs);
    }
    bool AtRest() { return IsAtRest(*program); }

    // Starts an observation: what is sent to COM1 and logged from here on.
    void Mark();
    Lines Sent() { return Received(1, sentMark); }
    Lines Log() const;
    bool LogHas(const std::string& line) const { return Has(form().logMemo.lines, line); }
    bool LogStartsWith(const std::string& start) const {
        const Lines& l = form().logMemo.lines;
        return std::any_of(l.begin(), l.end(), [&](const std::string& line) { return line.starts_with(start); });
    }
    Lines Received(int com, size_t from = 0);

    // Texts of the message boxes shown so far.
    Lines Boxes() const {
        Lines texts;
        for (const RecordedMessage& m : host.messages) texts.push_back(m.text);
        return texts;
    }
    bool PortOpen() { return ports.ports()["COM1"].open; }
    bool ConnectedLayout() { return form().Height() == kConnectedHeight && form().moduleControlsPanel.visible; }
    // Not connected any more: operations and the disconnect are off, but the
    // window takes input and a new search can start.
    bool OnlySearchOffered();
};

}  // namespace qvd::test
