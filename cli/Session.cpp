#include "cli/Session.h"

#include "core/memory/CellAccess.h"
#include "core/wire/ModuleProfile.h"

#include <cstdio>
#include <unistd.h>

namespace qvd::cli {

namespace {

constexpr uint32_t kLoopSliceMs = 1000;
constexpr auto kProgressInterval = std::chrono::milliseconds(200);

std::string TwoDigits(int value) {
    char text[4];
    std::snprintf(text, sizeof text, "%02d", value % 100);
    return text;
}

}  // namespace

int ExitStatusOf(Outcome outcome) {
    switch (outcome) {
        case Outcome::Succeeded: return kSuccess;
        case Outcome::AdapterLost: return kNoAdapter;
        case Outcome::FileFailed: return kFileError;
        case Outcome::Refused: return kRefused;
        case Outcome::BadInput: return kUsage;
        case Outcome::DataDiffer:
        case Outcome::Stopped:
        case Outcome::None: break;
    }
    return kDataDiffer;  // nothing that is not known to have worked is success
}

const char* OutcomeName(Outcome outcome) {
    switch (outcome) {
        case Outcome::None: return "none";
        case Outcome::Succeeded: return "succeeded";
        case Outcome::DataDiffer: return "data-differ";
        case Outcome::AdapterLost: return "adapter-lost";
        case Outcome::FileFailed: return "file-failed";
        case Outcome::Refused: return "refused";
        case Outcome::BadInput: return "bad-input";
        case Outcome::Stopped: return "stopped";
    }
    return "none";
}

Session::Session(const Options& options, CliHost& host, Program& program)
    : options_(options), host_(host), program_(program), form_(program.form),
      progressShown_(::isatty(STDERR_FILENO) != 0) {
    host_.assumeYes = options.yes;
    host_.beforeOutput = [this] { ClearProgress(); };
    form_.onChanged = [this] { OnFormChanged(); };
    form_.onErrorLogged = [this](const std::string& text) { errorLines_.push_back(text); };
}

Session::~Session() {
    // The program outlives the session: nothing of it may call back here.
    host_.beforeOutput = nullptr;
    form_.onChanged = nullptr;
    form_.onErrorLogged = nullptr;
}

std::string Session::PortName() const {
    const int n = program_.exchange.PortNum();
    if (n <= 0) return {};
    return "COM" + std::to_string(n) + " (" + program_.exchange.PortDevice() + ")";
}

int Session::Run() {
    return InfoOf(*options_.command).needsAdapter ? RunWithAdapter() : RunOffline();
}

int Session::RunOffline() {
    Control* control = Prepare();
    RunOperation(*control);
    outcome_ = program_.runner.lastResult().outcome;
    return Finish(ExitStatusOf(outcome_));
}

int Session::RunWithAdapter() {
    const Command command = *options_.command;
    // Nothing may be sent for a question that no one can answer.
    if ((command == Command::RamRestore || command == Command::RamClear) && !options_.yes && !::isatty(STDIN_FILENO)) {
        errorText_ = "Rückfrage ohne Terminal: mit --yes bestätigen";
        std::fprintf(stderr, "qvd-cli: %s\n", errorText_.c_str());
        outcome_ = Outcome::Refused;
        return Finish(kRefused);
    }
    program_.supervisor.EnumerateNow();
    if (!options_.verbose)
        for (const std::string& problem : program_.supervisor.portProblems()) std::fprintf(stderr, "%s\n", problem.c_str());
    form_.pollTimer.SetEnabled(true);
    form_.searchButton.OnClick();
    if (program_.conn().state() != ConnState::Connected) {
        outcome_ = Outcome::AdapterLost;
        LetAdapterGo();
        return Finish(kNoAdapter);
    }
    if (command == Command::Find || command == Command::Info) {
        outcome_ = Outcome::Succeeded;
        CollectOutput();
        LetAdapterGo();
        return Finish(kSuccess);
    }
    // The window offers the operation once the first tick has given the
    // controls back (and polled); a technician cannot click earlier.
    if (signal_ || !WaitForControls()) {
        outcome_ = signal_ ? Outcome::Stopped : Outcome::AdapterLost;
        LetAdapterGo();
        return Finish(kNoAdapter);
    }
    if (command == Command::CellWrite &&
        options_.args[1].size() != static_cast<size_t>(CellDigitsOf(program_.conn().moduleType()))) {
        errorText_ = "Wert muss für dieses Modul " + std::to_string(CellDigitsOf(program_.conn().moduleType())) +
                     " Hex-Ziffern haben, nicht \"" + options_.args[1] + "\"";
        std::fprintf(stderr, "qvd-cli: %s\n", errorText_.c_str());
        outcome_ = Outcome::BadInput;
        LetAdapterGo();
        return Finish(kUsage);
    }
    Control* control = Prepare();
    RunOperation(*control);
    outcome_ = program_.runner.lastResult().outcome;
    // A comparison's verdict and the lines of a view stand also when they
    // are not what was hoped for; a value or a clock only when it was read.
    if (outcome_ == Outcome::Succeeded || command == Command::RamCompare || command == Command::View)
        CollectOutput();
    LetAdapterGo();
    return Finish(ExitStatusOf(outcome_));
}

bool Session::WaitForControls() {
    while (program_.runner.ControlsHeld() && program_.conn().state() == ConnState::Connected && !signal_)
        host_.WaitAndDispatch(host_.TickCount() + kLoopSliceMs);
    return program_.conn().state() == ConnState::Connected && !program_.runner.ControlsHeld();
}

Control* Session::Prepare() {
    const std::vector<std::string>& a = options_.args;
    switch (*options_.command) {
        case Command::Status:
            host_.saveAnswers.push_back(a[0]);
            return &form_.saveStatusButton;
        case Command::RamSave:
            host_.saveAnswers.push_back(a[0]);
            return &form_.ramSaveButton;
        case Command::EpromSave:
            host_.saveAnswers.push_back(a[0]);
            return &form_.epromSaveButton;
        case Command::RamRestore:
            host_.openAnswers.push_back(a[0]);
            return &form_.ramRestoreButton;
        case Command::RamClear:
            return &form_.ramClearButton;
        case Command::RamCompare:
            host_.openAnswers.push_back(a[0]);
            return &form_.compareRamItem;
        case Command::View:
            if (!options_.viewRange) return options_.viewEprom ? &form_.epromViewAllButton : &form_.ramViewAllButton;
            form_.rangeStartEdit.SetText(options_.viewRange->first);
            form_.rangeEndEdit.SetText(options_.viewRange->second);
            return options_.viewEprom ? &form_.epromRangeButton : &form_.ramRangeButton;
        case Command::CellRead:
            form_.cellAddressEdit.SetText(a[0]);
            return &form_.cellReadButton;
        case Command::CellWrite:
            form_.cellAddressEdit.SetText(a[0]);
            form_.cellValueEdit.SetText(a[1]);
            return &form_.cellWriteButton;
        case Command::Clock:
            return &form_.clockReadButton;
        case Command::ClockSet: {
            const ClockSetting& c = *options_.clockSetting;
            if (c.pcTime) return &form_.pcTimeButton;
            form_.yearEdit.SetText(TwoDigits(c.year));
            form_.monthEdit.SetText(TwoDigits(c.month));
            form_.dayEdit.SetText(TwoDigits(c.day));
            form_.hoursEdit.SetText(TwoDigits(c.hour));
            form_.minutesEdit.SetText(TwoDigits(c.minute));
            return &form_.clockSetButton;
        }
        case Command::Split:
            host_.openAnswers.push_back(a[0]);
            return &form_.splitEpromItem;
        case Command::Join:
            host_.openAnswers.push_back(a[0]);
            host_.openAnswers.push_back(a[1]);
            host_.saveAnswers.push_back(a[2]);
            return &form_.joinEpromItem;
        case Command::Find:
        case Command::Info:
            break;
    }
    return &form_.searchButton;
}

bool Session::HeldAgainstSignals() const {
    switch (*options_.command) {
        case Command::RamRestore:
        case Command::RamClear:
        case Command::CellWrite:
        case Command::ClockSet:
            return true;  // stopped halfway, they would leave the module torn
        default:
            return false;
    }
}

void Session::RunOperation(Control& control) {
    errorLines_.clear();
    const size_t boxes = host_.messages.size();
    control.OnClick();
    while (program_.runner.Busy()) {
        host_.WaitAndDispatch(host_.TickCount() + kLoopSliceMs);
        if (signal_ && !HeldAgainstSignals() && program_.runner.StopRunning()) {
            ClearProgress();
            std::fprintf(stderr, "qvd-cli: Signal empfangen; das Lesen ist abgebrochen, nichts davon wurde behalten.\n");
        }
    }
    ClearProgress();
    // A refusal the window tells in its log alone must not pass silently.
    const Outcome outcome = program_.runner.lastResult().outcome;
    if (outcome != Outcome::Succeeded && outcome != Outcome::Stopped && host_.messages.size() == boxes) {
        if (!options_.verbose)
            for (const std::string& line : errorLines_) std::fprintf(stderr, "%s\n", line.c_str());
        if (errorText_.empty() && !errorLines_.empty()) errorText_ = errorLines_.back();
    }
}

void Session::OnSignal(int signal) {
    if (!signal_) signal_ = signal;
    // A read still streaming stops at once (in the run's loop); anything
    // else runs to its end first.
    const bool stopsAtOnce = !HeldAgainstSignals() && program_.conn().InTransfer();
    if (program_.runner.Busy() && !stopsAtOnce && !toldHeld_) {
        toldHeld_ = true;
        ClearProgress();
        std::fprintf(stderr, "qvd-cli: Signal empfangen; der laufende Vorgang wird zu Ende geführt.\n");
    }
}

void Session::CollectOutput() {
    const auto add = [this](const std::string& key, const std::string& value) { output_.push_back(key + ": " + value); };
    switch (*options_.command) {
        case Command::Find: {
            const uint8_t type = program_.conn().moduleType();
            const ModuleProfile* profile = FindProfile(type);
            add("port", PortName());
            add("adapter", form_.identificationLabel.caption);
            add("module", std::to_string(type) + (profile ? std::string(" ") + profile->statusName : ""));
            add("clock", form_.clockDisplay.caption);
            break;
        }
        case Command::Info:
            output_ = form_.infoMemo.lines;
            break;
        case Command::RamCompare:
            for (const auto& [name, value] : program_.runner.lastResult().figures)
                if (name == "result") output_.push_back(value);
            break;
        case Command::View:
            output_ = options_.viewEprom ? form_.epromView.lines : form_.ramView.lines;
            break;
        case Command::CellRead:
        case Command::CellWrite:
            output_.push_back(form_.cellValueEdit.caption);
            break;
        case Command::Clock:
            output_.push_back(form_.clockDisplay.caption);
            break;
        default:
            break;
    }
}

void Session::LetAdapterGo() {
    if (program_.serialPort.Active()) program_.shutdown.LetAdapterGo();
}

int Session::Finish(int status) {
    ClearProgress();
    if (errorText_.empty()) errorText_ = host_.lastErrorText;
    if (signal_) {
        if (outcome_ == Outcome::None) outcome_ = Outcome::Stopped;
        return 128 + signal_;
    }
    return status;
}

void Session::OnFormChanged() {
    if (options_.verbose) {
        const std::vector<std::string>& lines = form_.logMemo.lines;
        if (loggedLines_ > lines.size()) loggedLines_ = 0;
        if (loggedLines_ < lines.size()) ClearProgress();
        for (; loggedLines_ < lines.size(); ++loggedLines_) std::fprintf(stderr, "%s\n", lines[loggedLines_].c_str());
    }
    ShowProgress();
}

void Session::ShowProgress() {
    if (!progressShown_) return;
    if (!form_.progressBar.visible) {
        ClearProgress();
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (!progressLine_.empty() && now - lastProgress_ < kProgressInterval) return;
    lastProgress_ = now;
    progressLine_ = form_.bytesPanel.caption + "  " + form_.progressBar.caption;
    std::fprintf(stderr, "\r%s\x1b[K", progressLine_.c_str());
    std::fflush(stderr);
}

void Session::ClearProgress() {
    if (progressLine_.empty()) return;
    progressLine_.clear();
    std::fprintf(stderr, "\r\x1b[K");
    std::fflush(stderr);
}

}  // namespace qvd::cli
