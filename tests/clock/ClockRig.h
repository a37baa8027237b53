#pragma once
// A program with an open port to one virtual adapter and a module type set,
// as after a search, without running the search.
#include "support/Rig.h"

#include <string>
#include <vector>

namespace qvd::test {

struct ClockRig : Rig {
    sim::QvdDevice& device;
    size_t sentMark = 0;
    size_t logMark = 0;

    explicit ClockRig(uint8_t type, sim::DeviceConfig config = {})
        : device(AddAdapter(1, WithType(config, type))) {
        program->VaComm1.SetPortNum(1);
        program->VaComm1.Open();
        conn().moduleType = type;
    }
    static sim::DeviceConfig WithType(sim::DeviceConfig config, uint8_t type) {
        config.moduleType = type;
        return config;
    }

    ClockOperations& clock() { return program->clock; }
    // Starts a new observation: what is sent and logged from here on.
    void Mark() {
        sentMark = device.received.size();
        logMark = form().Memo1.lines.size();
    }
    std::vector<std::string> Sent() { return Received(1, sentMark); }
    std::vector<std::string> Logged() const { return LogSince(logMark); }
};

using Lines = std::vector<std::string>;

}  // namespace qvd::test
