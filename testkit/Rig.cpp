#include "testkit/Rig.h"

namespace qvd::test {

Rig::Rig(VirtualHost& h, TransportFactory transports) : host(h) {
    program = std::make_unique<Program>(host, std::move(transports), [](int n) { return ComName(n); });
    host.onCloseRequest = [this] { program->RequestClose(); };
}

Rig::Rig(Setup setup, uint8_t type, sim::DeviceConfig config)
    : ownHost_(std::make_unique<VirtualHost>()), host(*ownHost_) {
    program = std::make_unique<Program>(host, ports.Factory(), [](int n) { return ComName(n); });
    host.onCloseRequest = [this] { program->RequestClose(); };
    if (setup == Bare) return;
    config.moduleType = type;
    device = &AddAdapter(1, config);
    if (setup == Opened) {
        program->serialPort.SetPortNum(1);
        program->serialPort.Open();
        SetModuleType(*program, type);
        return;
    }
    Search();
    host.messages.clear();
}

bool Rig::StartAndEnumerate(uint32_t maxMs) {
    program->Start();
    return host.RunUntil([this] { return IsIdle(*program); }, maxMs);
}

uint64_t Rig::Search() {
    StartAndEnumerate();
    host.messages.clear();
    Mark();
    const uint64_t start = host.Time();
    form().searchButton.OnClick();
    return host.Time() - start;
}

bool Rig::Poll() {
    const int before = device->polls;
    return host.RunUntil([&] { return device->polls > before; }, 5000);
}

void Rig::Mark() {
    sentMark = device ? device->received.size() : 0;
    logMark = form().logMemo.lines.size();
}

Lines Rig::Log() const {
    const Lines& lines = form().logMemo.lines;
    return {lines.begin() + static_cast<long>(std::min(logMark, lines.size())), lines.end()};
}

Lines Rig::Received(int com, size_t from) {
    sim::QvdDevice* d = ports.Device(ComName(com));
    if (!d || from >= d->received.size()) return {};
    return {d->received.begin() + static_cast<long>(from), d->received.end()};
}

bool Rig::OnlySearchOffered() {
    MainForm& f = form();
    return !f.clockReadButton.enabled && !f.ramSaveButton.enabled && !f.extrasMenu.enabled && !f.disconnectButton.enabled &&
           f.searchButton.enabled && f.saveStatusButton.enabled && f.window.enabled;
}

}  // namespace qvd::test
