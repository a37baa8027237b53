#pragma once
// "QVD-BW suchen": walks COM1..COM16 for the adapter, identifies it and the
// game module, shows the module's limits, clock and the adapter's report.
#include "core/clock/ClockOperations.h"
#include "core/form/MainForm.h"
#include "core/form/OtherForms.h"
#include "core/link/CommandExchange.h"
#include "core/link/Connection.h"
#include "core/link/Supervisor.h"

#include <string>

namespace qvd {

// The service marking of an identification answer.
inline constexpr const char* kServiceEnding = "7Q3";
inline constexpr char kServiceLetter = 'X';

struct IdentificationCheck {
    bool accepted = false;
    bool tooOld = false;  // version below "1.20"
};
IdentificationCheck CheckIdentification(const std::string& answer);
bool HasServiceMarking(const std::string& answer);
// The answer without the 19 characters from the first "Dipl".
std::string WithoutAuthor(const std::string& answer);

class AdapterSearch {
public:
    AdapterSearch(Host& host, MainForm& form, PasswordForm& password, CommandExchange& link,
                  Connection& conn, Supervisor& supervisor, ClockOperations& clock);

    void Button3Click();
    bool ProbeAdapter(char probe);

private:
    enum class PortResult { NoAdapter, Done };
    PortResult TryPort(int port, bool& found);
    void Identify(bool& found);
    void AppendReport();
    void Reject(const std::string& answer);
    void Outcome(bool found);

    Host& host_;
    MainForm& form_;
    PasswordForm& password_;
    CommandExchange& link_;
    Connection& conn_;
    Supervisor& supervisor_;
    ClockOperations& clock_;
};

}  // namespace qvd
