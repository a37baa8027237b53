#include "Windows.h"

#include "core/serial/EVaCommError.h"

#include <QCoreApplication>

namespace qvd::test {

static TransportFactory NoPorts() {
    return [](const std::string& device) -> std::unique_ptr<SerialTransport> {
        throw EVaCommError(comm_errors::DeviceNotFound(device));
    };
}

Windows::Windows()
    : program(host, NoPorts(), [](int n) { return "COM" + std::to_string(n); }),
      main(program, host),
      about(program.about, host, &main),
      password(program.password, host, &main),
      jumperHelp(program.jumperHelp, host, &main) {
    main.show();
    Settle();
}

Windows::~Windows() { main.hide(); }

void Windows::RevealAll() {
    for (Control* c : form().Controls()) {
        if (c == &form().Memo5) continue;
        c->SetVisible(true);
        c->SetEnabled(true);
    }
    form().SetWidth(kServiceWidth);
    form().SetHeight(kConnectedHeight);
    Settle();
}

void Settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

}  // namespace qvd::test
