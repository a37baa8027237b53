#include "support/Rig.h"

#include <algorithm>

namespace qvd::test {

std::string ComName(int n) { return "COM" + std::to_string(n); }

Rig::Rig() {
    program = std::make_unique<Program>(host, ports.Factory(), [](int n) { return ComName(n); });
    host.onCloseRequest = [this] { program->RequestClose(); };
}

void Rig::StartAndEnumerate() {
    program->Start();
    host.RunUntil([this] { return conn().state == ConnState::Idle; }, 30000);
}

void Rig::Connect() {
    StartAndEnumerate();
    form().Button3.OnClick();
}

void Rig::EnterConnected(int com, uint8_t moduleType) {
    program->VaComm1.SetPortNum(com);
    program->VaComm1.Open();
    Connection& c = conn();
    c.state = ConnState::Connected;
    c.moduleType = moduleType;
    c.noAnswerCount = 0;
    c.lastErrorCode.clear();
    MainForm& f = form();
    f.Panel1.SetVisible(true);
    f.GroupBox4.SetVisible(true);
    f.CheckBox3.SetEnabled(true);
    f.Button3.SetCaption("Neue Verbindung + Infos erneuern");
    f.SetHeight(kConnectedHeight);
    f.EnableControls(true);
}

std::vector<std::string> Rig::LogSince(size_t from) const {
    const auto& lines = program->form.Memo1.lines;
    if (from >= lines.size()) return {};
    return {lines.begin() + static_cast<long>(from), lines.end()};
}

bool Rig::LogContains(const std::string& line) const {
    const auto& lines = program->form.Memo1.lines;
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::vector<std::string> Rig::Received(int com, size_t from) {
    sim::QvdDevice* device = ports.Device(ComName(com));
    if (!device || from >= device->received.size()) return {};
    return {device->received.begin() + static_cast<long>(from), device->received.end()};
}

}  // namespace qvd::test
