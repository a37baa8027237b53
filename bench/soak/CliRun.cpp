#include "bench/soak/CliRun.h"

#include "cli/CliHost.h"
#include "cli/CliOptions.h"
#include "cli/CliProgram.h"
#include "cli/Session.h"
#include "cli/SignalWatch.h"
#include "core/program/Program.h"
#include "core/serial/PortNames.h"
#include "core/serial/TermiosTransport.h"
#include "core/serial/UsbPortName.h"

namespace qvd::soak {

using namespace qvd::cli;

void SignalRelay::Deliver(int signal) {
    if (!signal_) signal_ = signal;
    std::lock_guard lock(mutex_);
    if (!session_) return;
    host_->InterruptQuestion();
    host_->Post([session = session_, signal] { session->OnSignal(signal); });
}

CliRun RunCli(const std::vector<std::string>& args, const std::string& pattern, SignalRelay& relay) {
    CliRun run;
    const Parsed parsed = ParseCommandLine(args);
    if (!parsed.error.empty()) {
        run.status = kUsage;
        run.error = parsed.error;
        return run;
    }
    const Options& options = parsed.options;
    CliHost host;
    const std::unique_ptr<Program> made = MakeCliProgram(host, options, pattern);
    Program& program = *made;

    Session session(options, host, program);
    {
        std::lock_guard lock(relay.mutex_);
        relay.host_ = &host;
        relay.session_ = &session;
    }
    run.status = session.Run();
    {
        std::lock_guard lock(relay.mutex_);
        relay.host_ = nullptr;
        relay.session_ = nullptr;
    }
    run.outcome = session.outcome();
    run.output = session.output();
    run.error = session.errorText();
    run.result = program.runner.lastResult();
    run.log = program.form.logMemo.lines;
    for (const RecordedMessage& m : host.messages) run.boxes.push_back(m.text);
    return run;
}

}  // namespace qvd::soak
