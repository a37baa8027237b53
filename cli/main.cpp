// qvd-cli: the operations of QVD-PC from a shell, for scripted backups.
#include "cli/CliHost.h"
#include "cli/CliOptions.h"
#include "cli/CliProgram.h"
#include "cli/JsonReport.h"
#include "cli/Session.h"
#include "cli/SignalWatch.h"
#include "core/program/Program.h"
#include "core/serial/PortNames.h"
#include "core/serial/TermiosTransport.h"
#include "core/serial/UsbPortName.h"
#include "core/wire/ModuleProfile.h"

#include <cstdio>
#include <string>
#include <vector>

#ifndef QVD_VERSION
#define QVD_VERSION "0"
#endif

using namespace qvd;
using namespace qvd::cli;

namespace {

// The file a command names, for the report.
std::string FileOf(const Options& o) {
    switch (*o.command) {
        case Command::Status: case Command::RamSave: case Command::EpromSave: case Command::RamRestore:
        case Command::RamCompare: case Command::Split:
            return o.args[0];
        case Command::Join:
            return o.args[2];
        default:
            return {};
    }
}

}  // namespace

int main(int argc, char** argv) {
    const Parsed parsed = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    const Options& options = parsed.options;
    if (options.version) {
        std::printf("qvd-cli %s (%s)\n", QVD_VERSION, kWindowCaption);
        return kSuccess;
    }
    if (options.help) {
        std::fputs((options.command ? CommandHelp(*options.command) : ProgramHelp()).c_str(), stdout);
        return kSuccess;
    }
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "qvd-cli: %s\nAufruf: qvd-cli --help\n", parsed.error.c_str());
        if (options.json && options.command) {
            Report report;
            report.command = InfoOf(*options.command).name;
            report.outcome = Outcome::BadInput;
            report.exitStatus = kUsage;
            report.error = parsed.error;
            std::printf("%s\n", ToJson(report).c_str());
        }
        return kUsage;
    }

    // Before any thread exists, so that every thread leaves the signals to
    // the watch.
    SignalWatch signals;
    CliHost host;
    const std::unique_ptr<Program> made = MakeCliProgram(host, options, PortPatternFromEnvironment());
    Program& program = *made;

    Session session(options, host, program);
    signals.Start([&host, &session](int signal) {
        host.InterruptQuestion();
        host.Post([&session, signal] { session.OnSignal(signal); });
    });
    const int status = session.Run();
    signals.Stop();

    if (!session.output().empty() && !options.json)
        for (const std::string& line : session.output()) std::printf("%s\n", line.c_str());
    if (options.json) {
        Report report;
        report.command = InfoOf(*options.command).name;
        report.outcome = session.outcome();
        report.exitStatus = status;
        report.port = session.PortName();
        if (InfoOf(*options.command).needsAdapter && program.conn().moduleType()) {
            report.moduleType = program.conn().moduleType();
            const ModuleProfile* profile = FindProfile(program.conn().moduleType());
            report.module = profile ? profile->statusName : "";
        }
        report.file = FileOf(options);
        report.figures = program.runner.lastResult().figures;
        report.output = session.output();
        report.error = session.errorText();
        std::printf("%s\n", ToJson(report).c_str());
    }
    std::fflush(stdout);
    return status;
}
