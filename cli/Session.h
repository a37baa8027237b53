#pragma once
// One run of qvd-cli: the same operations as the window, started through
// the same runner by the controls the user would click, with the adapter
// searched for first and let go at the end as the window's close does.
#include "cli/CliHost.h"
#include "cli/CliOptions.h"
#include "core/program/Program.h"

#include <chrono>
#include <string>
#include <vector>

namespace qvd::cli {

// Exit statuses; a signal ends with 128 + its number.
enum ExitStatus {
    kSuccess = 0,
    kDataDiffer = 1,
    kNoAdapter = 2,
    kFileError = 3,
    kRefused = 4,
    kUsage = 64,
};

int ExitStatusOf(Outcome outcome);
const char* OutcomeName(Outcome outcome);

class Session {
public:
    Session(const Options& options, CliHost& host, Program& program);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    int Run();
    // A SIGINT or SIGTERM, delivered on the program's thread.
    void OnSignal(int signal);

    // What the JSON report and the caller need to know afterwards.
    Outcome outcome() const { return outcome_; }
    const std::vector<std::string>& output() const { return output_; }
    const std::string& errorText() const { return errorText_; }
    std::string PortName() const;

private:
    int RunOffline();
    int RunWithAdapter();
    bool WaitForControls();
    // Clicks the control and runs until the operation has ended; a signal
    // meanwhile stops it where it can stop.
    void RunOperation(Control& control);
    // The fields and file answers of the command; the control it clicks.
    Control* Prepare();
    void CollectOutput();
    int Finish(int status);
    void LetAdapterGo();
    bool HeldAgainstSignals() const;

    void OnFormChanged();
    void ShowProgress();
    void ClearProgress();

    const Options& options_;
    CliHost& host_;
    Program& program_;
    MainForm& form_;
    Outcome outcome_ = Outcome::None;
    std::vector<std::string> output_;
    std::string errorText_;
    int signal_ = 0;
    bool toldHeld_ = false;

    size_t loggedLines_ = 0;
    // The log's error lines of the operation, told when it failed without a box.
    std::vector<std::string> errorLines_;
    const bool progressShown_;
    std::string progressLine_;
    std::chrono::steady_clock::time_point lastProgress_{};
};

}  // namespace qvd::cli
