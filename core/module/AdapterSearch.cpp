#include "core/module/AdapterSearch.h"

namespace qvd {

IdentificationCheck CheckIdentification(const std::string&) { return {}; }
bool HasServiceMarking(const std::string&) { return false; }
std::string WithoutAuthor(const std::string& answer) { return answer; }

AdapterSearch::AdapterSearch(Host& host, MainForm& form, PasswordForm& password,
                             CommandExchange& link, Connection& conn, Supervisor& supervisor,
                             ClockOperations& clock)
    : host_(host), form_(form), password_(password), link_(link), conn_(conn),
      supervisor_(supervisor), clock_(clock) {}

void AdapterSearch::Button3Click() {}
bool AdapterSearch::ProbeAdapter(char) { return false; }

}  // namespace qvd
