#pragma once
// The whole program in real time against qvd-sim processes on
// pseudo-terminals, through the real termios backend: the adapter as a
// process that can be killed and restarted under the same COM name, and the
// program with a host that answers its dialogs as a technician would.
#include "core/host/AnsweringHost.h"
#include "core/program/Program.h"
#include "core/serial/PortNames.h"
#include "core/serial/TermiosTransport.h"
#include "testkit/ProgramState.h"
#include "testkit/RealTime.h"
#include "testkit/ScratchDir.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <optional>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/fsuid.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace qvd::e2e {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using test::IsConnected, test::IsIdle, test::IsReleased, test::MsSince, test::ProcessCpuSeconds, test::ReadFile,
    test::ScratchDir, test::SteadyClock, test::WaitFor, test::WriteFile;

inline int Count(const Lines& lines, const std::string& line) {
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

inline bool HasPrefix(const Lines& lines, const std::string& start) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(start); });
}

inline Lines From(const Lines& lines, size_t mark) {
    return {lines.begin() + static_cast<long>(std::min(mark, lines.size())), lines.end()};
}

// The virtual adapter as its own process, every command it takes printed
// (--verbose) into a file per run. Restarts publish the same COM name, as
// a USB adapter plugged in again.
class Adapter {
public:
    explicit Adapter(fs::path link) : link_(std::move(link)) {}
    ~Adapter() {
        leaving_ = true;  // a killer still waiting for its command gives up
        JoinKiller();
        Stop();
        Show();
    }

    const fs::path& link() const { return link_; }

    // Starts qvd-sim; true once its pseudo-terminal is linked.
    bool Start(const std::vector<std::string>& options) {
        Stop();
        Show();
        std::error_code ignored;
        fs::remove(link_, ignored);  // a killed run leaves its link behind
        out_ = link_.parent_path().parent_path() / ("adapter-" + std::to_string(++runs_) + ".out");
        err_ = fs::path(out_).replace_extension(".err");
        std::vector<std::string> args = {QVD_SIM_PATH, "--link", link_.string(), "--verbose"};
        args.insert(args.end(), options.begin(), options.end());
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&files, 2, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = -1;
        if (::posix_spawn(&pid, QVD_SIM_PATH, &files, nullptr, argv.data(), environ) != 0) pid = -1;
        posix_spawn_file_actions_destroy(&files);
        pid_ = pid;
        return pid_ > 0 && WaitFor([&] { return fs::exists(link_); }, 10000);
    }

    // Commands of the current run as qvd-sim took them ("r", "<DF>",
    // "<image 8184>"); only whole lines.
    Lines Received() const {
        static const std::string kTag = "qvd-sim: Befehl: ";
        Lines commands;
        std::istringstream text(ReadFile(out_));
        for (std::string line; std::getline(text, line) && !text.eof();)  // a line without its end is still coming
            if (line.starts_with(kTag)) commands.push_back(line.substr(kTag.size()));
        return commands;
    }
    std::string Stderr() const { return ReadFile(err_); }

    // Ends the process as pulling the plug would (SIGKILL: no clean-up, the
    // terminal just goes).
    void Stop() {
        const pid_t pid = pid_.exchange(-1);
        if (pid <= 0) return;  // never signal pid -1: that is every process
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    // The status of a run that ended by itself (a vanishing fault), -1 while
    // it runs. Does not wait: the program's event loop must keep turning
    // meanwhile, or it reads nothing.
    int ExitStatus() {
        int status = 0;
        if (const pid_t pid = pid_; pid > 0 && ::waitpid(pid, &status, WNOHANG) == pid) {
            pid_ = -1;
            exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        return exitStatus_;
    }

    // From another thread: kills the adapter delayMs after it has taken
    // `command` for the first time beyond `mark` commands. The program may be
    // deep inside a wait meanwhile.
    void KillOn(const std::string& command, size_t mark, int delayMs) {
        killer_ = std::thread([this, command, mark, delayMs] {
            if (!WaitFor([&] { return leaving_ || Count(From(Received(), mark), command) > 0; }, 120000) || leaving_) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
            const pid_t pid = pid_;
            if (pid > 0) ::kill(pid, SIGKILL);  // reaped on the test's thread
        });
    }
    void JoinKiller() { if (killer_.joinable()) killer_.join(); }

private:
    // With QVD_E2E_SHOW set, what the run took, for reading a case's outcome.
    void Show() const {
        if (!std::getenv("QVD_E2E_SHOW") || out_.empty()) return;
        std::string text = "--- adapter run " + std::to_string(runs_) + " took:";
        for (const std::string& c : Received()) text += " " + c;
        std::printf("%s\n%s", text.c_str(), Stderr().c_str());
    }

    fs::path link_, out_, err_;
    int runs_ = 0;
    int exitStatus_ = -1;
    std::atomic<pid_t> pid_{-1};
    std::atomic<bool> leaving_{false};
    std::thread killer_;
};

// The real-time host with a technician at the dialogs.
using TechnicianHost = AnsweringHost;

// Texts the supervisor shows when the adapter has stopped answering.
inline constexpr const char* kNoContact1 = "Keine Kommunikation mit dem QVD-Modul (1). Erneuter Verbindungsaufbau folgt...";
inline constexpr const char* kNoContact2 = "Keine Kommunikation mit dem QVD-Modul (2). Erneuter Verbindungsaufbau folgt...";
inline constexpr const char* kGivenUp = "Kein erneuter Kommunikationsaufbau mit dem QVD-Modul möglich.";
inline constexpr const char* kNoConnectionBox =
    "Keine Verbindung zum QVD-Modul\r\rVerbindungsleitung zwischen QVD-Modul und PC prüfen.\r\rAnschließend "
    "\"Neue Verbindung\" betätigen.";

// The program on COM ports found in `portsDir` (COM1 is portsDir/COM1).
struct E2eProgram {
    // `wrap`, when given, may put a transport of its own around each port
    // (a measurement timing the wire, say).
    explicit E2eProgram(const fs::path& portsDir, const std::function<TransportFactory(TransportFactory)>& wrap = nullptr)
        : pattern((portsDir / "COM%d").string()),
          program(host, wrap ? wrap(TermiosTransports(host)) : TermiosTransports(host),
                  [p = pattern](int n) { return DevicePathForPort(n, p); }) {
        host.onCloseRequest = [this] { program.RequestClose(); };
    }
    // With QVD_E2E_SHOW set, the whole log and every box, for reading a
    // case's outcome.
    ~E2eProgram() {
        if (!std::getenv("QVD_E2E_SHOW")) return;
        std::printf("--- log:\n");
        for (const std::string& line : form().logMemo.lines) std::printf("  %s\n", Visible(line).c_str());
        for (const RecordedMessage& m : host.messages) std::printf("--- box: %s\n", Visible(m.text).c_str());
    }
    // Control bytes as <XX>, so that a NUL or CR in a line shows.
    static std::string Visible(const std::string& text) {
        static constexpr char kHex[] = "0123456789ABCDEF";
        std::string out;
        for (unsigned char c : text) out += c >= 0x20 ? std::string(1, char(c)) : std::string{'<', kHex[c >> 4], kHex[c & 15], '>'};
        return out;
    }

    std::string pattern;
    TechnicianHost host;
    Program program;
    size_t logMark = 0, boxMark = 0;

    MainForm& form() { return program.form; }
    const Connection& conn() const { return program.conn(); }

    bool StartAndEnumerate() {
        program.Start();
        host.messages.clear();  // the notice
        return host.RunUntil([&] { return IsIdle(program); }, 15000);
    }
    // The user's search; true when it connected.
    bool Search() {
        Mark();
        form().searchButton.OnClick();
        return IsConnected(program);
    }
    bool Connect() { return StartAndEnumerate() && Search(); }

    // Starts an observation of the log and the boxes.
    void Mark() {
        logMark = form().logMemo.lines.size();
        boxMark = host.messages.size();
    }
    Lines Log() { return From(form().logMemo.lines, logMark); }
    Lines Boxes() {
        Lines texts;
        for (size_t i = boxMark; i < host.messages.size(); ++i) texts.push_back(host.messages[i].text);
        return texts;
    }

    // Until an operation has ended and a tick has given the controls back.
    bool RunUntilReleased(uint32_t maxMs) {
        return host.RunUntil([&] { return IsReleased(program); }, maxMs);
    }
    bool Save(Control& button, const std::string& path, uint32_t maxMs = 30000) {
        host.saveAnswers.push_back(path);
        button.OnClick();
        return RunUntilReleased(maxMs);
    }

    // The supervisor has given the adapter up: port closed, only the search
    // (and the status file) offered, and the window takes input.
    bool Dropped() {
        MainForm& f = form();
        return !program.serialPort.Active() && IsIdle(program) && f.searchButton.enabled &&
               f.saveStatusButton.enabled && f.window.enabled && !f.ramSaveButton.enabled && !f.disconnectButton.enabled;
    }

    // Share of one core the whole process used while the program ran its
    // event loop for ms.
    double CpuShareWhileRunning(uint32_t ms) {
        return test::CpuShare([&] { host.RunFor(ms); });
    }
};

// A fresh folder with an adapter process at its COM1 and the program on it.
struct E2eRig {
    ScratchDir dir;
    Adapter adapter{dir / "ports" / "COM1"};
    E2eProgram pc{dir / "ports"};

    // Starts the adapter and connects to it by a search.
    bool Connect(const std::vector<std::string>& options) { return adapter.Start(options) && pc.Connect(); }
};

// File-system checks of this thread as another user would meet them: root
// passes every permission bit, so a refusal needs an unprivileged file-system
// user. Without root, chmod alone refuses.
struct AsUnprivilegedUser {
    const bool root = ::geteuid() == 0;
    AsUnprivilegedUser() {
        if (!root) return;
        ::setfsgid(65534);  // nogroup, so that no group bits apply either
        ::setfsuid(65534);  // nobody
    }
    ~AsUnprivilegedUser() {
        if (!root) return;
        ::setfsuid(::geteuid());
        ::setfsgid(::getegid());
    }
};

}  // namespace qvd::e2e
