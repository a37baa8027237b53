#include "core/link/Supervisor.h"

namespace qvd {

Supervisor::Supervisor(Host& host, MainForm& form, PasswordForm& password, CommandExchange& link,
                       Connection& conn)
    : host_(host), form_(form), password_(password), link_(link), conn_(conn) {}

void Supervisor::Start() {}
void Supervisor::Timer1Timer() {}
void Supervisor::Button5Click() {}
void Supervisor::Service1Click() {}
bool Supervisor::FormCloseQuery() { return true; }
void Supervisor::FormClose() {}
void Supervisor::DropConnection() {}
void Supervisor::EnumeratePorts() {}
void Supervisor::PollStatus() {}
void Supervisor::HandleNoAnswer() {}
void Supervisor::EvaluatePassword() {}
void Supervisor::StopOperationControls() {}
bool ServicePasswordMatches(const std::string&) { return false; }

}  // namespace qvd
