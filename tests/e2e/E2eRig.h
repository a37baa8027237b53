#pragma once
// The whole program in real time against qvd-sim processes on
// pseudo-terminals, through the real termios backend: the adapter as a
// process that can be killed and restarted under the same COM name, a
// cable between the two that can lose or spoil bytes, and the program with
// a host that answers its dialogs as a technician would.
#include "core/host/RealTimeHost.h"
#include "core/program/Program.h"
#include "core/serial/PortNames.h"
#include "core/serial/TermiosTransport.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <optional>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace qvd::e2e {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using SteadyClock = std::chrono::steady_clock;

inline std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteAll(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline double MsSince(SteadyClock::time_point start) {
    return std::chrono::duration<double, std::milli>(SteadyClock::now() - start).count();
}

// Polls pred every few milliseconds (for conditions outside the program).
inline bool WaitFor(const std::function<bool()>& pred, int ms) {
    const auto start = SteadyClock::now();
    while (!pred()) {
        if (MsSince(start) > ms) return pred();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// CPU seconds of this whole process (every thread) so far.
inline double ProcessCpuSeconds() {
    rusage use{};
    ::getrusage(RUSAGE_SELF, &use);
    return double(use.ru_utime.tv_sec + use.ru_stime.tv_sec) + (use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
}

inline int Count(const Lines& lines, const std::string& line) {
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

inline bool HasPrefix(const Lines& lines, const std::string& start) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(start); });
}

inline Lines From(const Lines& lines, size_t mark) {
    return {lines.begin() + static_cast<long>(std::min(mark, lines.size())), lines.end()};
}

// A fresh folder, removed with its contents.
struct TempDir {
    fs::path path = [] {
        char name[] = "/tmp/qvd-e2e-XXXXXX";
        if (!::mkdtemp(name)) throw std::runtime_error("mkdtemp");
        return fs::path(name);
    }();
    TempDir() = default;
    TempDir(const TempDir&) = delete;
    ~TempDir() {
        // Folders a case made unwritable must be opened again to be removed.
        std::error_code ignored;
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
        for (auto it = fs::recursive_directory_iterator(path, ignored); it != fs::recursive_directory_iterator(); it.increment(ignored))
            if (it->is_directory(ignored) && !it->is_symlink(ignored))
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path, ignored);
    }
    fs::path operator/(const std::string& name) const { return path / name; }
};

// The virtual adapter as its own process, every command it takes printed
// (--verbose) into a file per run. Restarts publish the same COM name, as
// a USB adapter plugged in again.
class Adapter {
public:
    explicit Adapter(fs::path link) : link_(std::move(link)) {}
    Adapter(const Adapter&) = delete;
    ~Adapter() {
        leaving_ = true;  // a killer still waiting for its command gives up
        JoinKiller();
        Stop(SIGKILL);
        Show();
    }

    const fs::path& link() const { return link_; }
    pid_t pid() const { return pid_; }

    // Starts qvd-sim; true once its pseudo-terminal is linked.
    bool Start(const std::vector<std::string>& options) {
        Stop(SIGKILL);
        Show();
        std::error_code ignored;
        fs::remove(link_, ignored);  // a killed run leaves its link behind
        out_ = link_.parent_path().parent_path() / ("adapter-" + std::to_string(++runs_) + ".out");
        err_ = out_;
        err_.replace_extension(".err");
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
        const std::string text = ReadAll(out_);
        size_t at = 0;
        for (size_t end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
            if (text.compare(at, kTag.size(), kTag) == 0) commands.push_back(text.substr(at + kTag.size(), end - at - kTag.size()));
        return commands;
    }
    std::string Stderr() const { return ReadAll(err_); }

    // Ends the process as pulling the plug would (SIGKILL: no clean-up, the
    // terminal just goes). Returns the exit status, or 128 + signal.
    int Stop(int signal = SIGKILL) {
        const pid_t pid = pid_.exchange(-1);
        if (pid <= 0) return -1;  // never signal pid -1: that is every process
        int status = 0;
        ::kill(pid, signal);
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    // Whether a run that ends by itself (a vanishing fault) has ended; its
    // status is then in ExitStatus(). Does not wait: the program's event
    // loop must keep turning meanwhile, or it reads nothing.
    bool Exited() {
        const pid_t pid = pid_;
        int status = 0;
        if (pid <= 0 || ::waitpid(pid, &status, WNOHANG) != pid) return pid <= 0;
        pid_ = -1;
        exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return true;
    }
    int ExitStatus() const { return exitStatus_; }

    // From another thread: kills the adapter delayMs after it has taken
    // `command` for the first time beyond `mark` commands, then runs `after`
    // there. The program may be deep inside a wait meanwhile.
    void KillOn(const std::string& command, size_t mark, int delayMs, std::function<void()> after = {}) {
        killer_ = std::thread([this, command, mark, delayMs, after = std::move(after)] {
            const bool seen = WaitFor([&] { return leaving_ || Count(From(Received(), mark), command) > 0; }, 120000);
            if (!seen || leaving_) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
            const pid_t pid = pid_;
            if (pid > 0) ::kill(pid, SIGKILL);  // reaped by Stop on the test's thread
            if (after) after();
        });
    }
    void JoinKiller() {
        if (killer_.joinable()) killer_.join();
    }

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

// A cable between the program and the adapter: a pseudo-terminal of its own
// whose bytes a thread carries to the adapter's terminal and back. Faults
// hit status polls ("r"), so that every other exchange passes untouched.
class Cable {
public:
    // The program opens `pcLink`; the adapter is at `adapterLink`.
    Cable(const fs::path& pcLink, const fs::path& adapterLink) {
        int slave = -1;
        char name[128];
        if (::openpty(&master_, &slave, name, nullptr, nullptr) < 0) throw std::runtime_error("openpty");
        spareSlave_ = slave;  // keeps the master from hanging up when the program closes the port
        MakeRaw(master_);
        MakeRaw(spareSlave_);
        adapter_ = ::open(adapterLink.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (adapter_ < 0) throw std::runtime_error("open " + adapterLink.string() + ": " + std::strerror(errno));
        MakeRaw(adapter_);
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        fs::create_directories(pcLink.parent_path());
        fs::create_symlink(name, pcLink);
        if (::pipe2(stop_, O_CLOEXEC | O_NONBLOCK) < 0) throw std::runtime_error("pipe");
        thread_ = std::thread([this] { Run(); });
    }
    Cable(const Cable&) = delete;
    ~Cable() {
        (void)!::write(stop_[1], "x", 1);
        thread_.join();
        for (int fd : {master_, spareSlave_, adapter_, stop_[0], stop_[1]}) ::close(fd);
    }

    // The next n polls never reach the adapter.
    void LosePolls(int n) {
        std::lock_guard lock(mutex_);
        pollsToLose_ = n;
    }
    int PollsStillToLose() {
        std::lock_guard lock(mutex_);
        return pollsToLose_;
    }
    // The answer to the next poll reaches the program as prefix + answer,
    // cut by one byte (delta -1) or with one more (+1).
    void SpoilNextPollAnswer(std::string prefix, int delta) {
        std::lock_guard lock(mutex_);
        spoil_ = Spoil{std::move(prefix), delta};
    }
    bool SpoilPending() {
        std::lock_guard lock(mutex_);
        return spoil_.has_value() || collecting_;
    }

private:
    struct Spoil {
        std::string prefix;
        int delta;
    };

    static void MakeRaw(int fd) {
        termios tio{};
        if (::tcgetattr(fd, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(fd, TCSANOW, &tio);
        }
    }
    static void Put(int fd, const std::string& bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<size_t>(n);
            } else if (n < 0 && errno == EAGAIN) {
                pollfd p{fd, POLLOUT, 0};
                ::poll(&p, 1, 10);
            } else if (n < 0 && errno != EINTR) {
                return;  // the other end is gone: bytes are lost, as on a cable
            }
        }
    }

    // Commands go on at their carriage return, so that a poll can be held
    // back whole; the release and probe bytes carry none and go at once.
    void FromPc(const std::string& bytes) {
        std::string out;
        for (char c : bytes) {
            const auto b = static_cast<unsigned char>(c);
            if (line_.empty() && (b == 0xDF || b == 0xF6)) {
                out += c;
                continue;
            }
            line_ += c;
            if (c != '\r') continue;
            std::lock_guard lock(mutex_);
            if (line_ == "r\r" && pollsToLose_ > 0) {
                --pollsToLose_;
            } else {
                if (line_ == "r\r" && spoil_) {
                    collecting_ = true;
                    answer_.clear();
                }
                out += line_;
            }
            line_.clear();
        }
        Put(adapter_, out);
    }

    void FromAdapter(const std::string& bytes) {
        std::string out;
        {
            std::lock_guard lock(mutex_);
            for (char c : bytes) {
                if (!collecting_) {
                    out += c;
                    continue;
                }
                answer_ += c;
                if (c != '\r') continue;
                if (spoil_->delta < 0) answer_.pop_back();
                if (spoil_->delta > 0) answer_ += '#';
                out += spoil_->prefix + answer_;
                collecting_ = false;
                spoil_.reset();
            }
        }
        Put(master_, out);
    }

    void Run() {
        char buffer[4096];
        for (;;) {
            pollfd fds[3] = {{master_, POLLIN, 0}, {adapter_, POLLIN, 0}, {stop_[0], POLLIN, 0}};
            if (::poll(fds, 3, 100) < 0 && errno != EINTR) return;
            if (fds[2].revents) return;
            if (fds[0].revents & POLLIN) {
                const ssize_t n = ::read(master_, buffer, sizeof buffer);
                if (n > 0) FromPc(std::string(buffer, static_cast<size_t>(n)));
            }
            if (fds[1].revents & POLLIN) {
                const ssize_t n = ::read(adapter_, buffer, sizeof buffer);
                if (n > 0) FromAdapter(std::string(buffer, static_cast<size_t>(n)));
            }
            // A hung-up end must not spin the thread.
            if ((fds[0].revents | fds[1].revents) & (POLLHUP | POLLERR)) ::poll(&fds[2], 1, 20);
        }
    }

    int master_ = -1, spareSlave_ = -1, adapter_ = -1;
    int stop_[2] = {-1, -1};
    std::thread thread_;
    std::mutex mutex_;
    std::string line_;    // thread only
    std::string answer_;  // under mutex_
    int pollsToLose_ = 0;
    std::optional<Spoil> spoil_;
    bool collecting_ = false;
};

// The real-time host with a technician at the dialogs: questions and file
// choices answered from queues (No and Cancel when they run dry).
class TechnicianHost : public RealTimeHost {
public:
    bool AskYesNo(const std::string&, const std::string&) override { return Take(yesNoAnswers).value_or(false); }
    std::optional<std::string> OpenFileDialog(const FileDialogRequest&) override { return Take(openAnswers).value_or(std::nullopt); }
    std::optional<std::string> SaveFileDialog(const FileDialogRequest&) override { return Take(saveAnswers).value_or(std::nullopt); }

    std::deque<bool> yesNoAnswers;
    std::deque<std::optional<std::string>> openAnswers, saveAnswers;

private:
    template <typename T>
    static std::optional<T> Take(std::deque<T>& answers) {
        if (answers.empty()) return std::nullopt;
        T answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }
};

// Texts the supervisor shows when the adapter has stopped answering.
inline constexpr const char* kNoContact1 = "Keine Kommunikation mit dem QVD-Modul (1). Erneuter Verbindungsaufbau folgt...";
inline constexpr const char* kNoContact2 = "Keine Kommunikation mit dem QVD-Modul (2). Erneuter Verbindungsaufbau folgt...";
inline constexpr const char* kGivenUp = "Kein erneuter Kommunikationsaufbau mit dem QVD-Modul möglich.";
inline constexpr const char* kNoConnectionBox =
    "Keine Verbindung zum QVD-Modul\r\rVerbindungsleitung zwischen QVD-Modul und PC prüfen.\r\rAnschließend "
    "\"Neue Verbindung\" betätigen.";

// The program on COM ports found in `portsDir` (COM1 is portsDir/COM1).
struct E2eProgram {
    explicit E2eProgram(const fs::path& portsDir)
        : pattern((portsDir / "COM%d").string()),
          program(host, TermiosTransports(host), [p = pattern](int n) { return DevicePathForPort(n, p); }) {
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
        std::string out;
        for (unsigned char c : text) {
            if (c >= 0x20) {
                out += static_cast<char>(c);
            } else {
                char hex[8];
                std::snprintf(hex, sizeof hex, "<%02X>", c);
                out += hex;
            }
        }
        return out;
    }

    std::string pattern;
    TechnicianHost host;
    Program program;
    size_t logMark = 0, boxMark = 0;

    MainForm& form() { return program.form; }
    Connection& conn() { return program.conn; }

    bool StartAndEnumerate() {
        program.Start();
        host.messages.clear();  // the notice
        return host.RunUntil([&] { return conn().state == ConnState::Idle; }, 15000);
    }
    // The user's search; true when it connected.
    bool Search() {
        Mark();
        form().searchButton.OnClick();
        return conn().state == ConnState::Connected;
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
        return host.RunUntil([&] { return conn().state == ConnState::Connected && !conn().controlsHeld; }, maxMs);
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
        return !program.serialPort.Active() && conn().state == ConnState::Idle && f.searchButton.enabled &&
               f.saveStatusButton.enabled && f.window.enabled && !f.ramSaveButton.enabled && !f.disconnectButton.enabled;
    }

    // Share of one core the whole process used while the program ran its
    // event loop for ms.
    double CpuShareWhileRunning(uint32_t ms) {
        const double cpu = ProcessCpuSeconds();
        const auto start = SteadyClock::now();
        host.RunFor(ms);
        return (ProcessCpuSeconds() - cpu) * 1000.0 / MsSince(start);
    }
    // A callback posted from elsewhere runs: the event loop turns.
    bool Responsive() {
        bool ran = false;
        std::thread([&] { host.Post([&] { ran = true; }); }).join();
        return host.RunUntil([&] { return ran; }, 5000);
    }
};

// File-system checks of this thread as another user would meet them: root
// passes every permission bit, so a refusal needs an unprivileged file-system
// user. Without root, chmod alone refuses.
class AsUnprivilegedUser {
public:
    AsUnprivilegedUser() {
        if (::geteuid() != 0) return;
        previousGroup_ = ::setfsgid(65534);  // nogroup, so that no group bits apply either
        previousUser_ = ::setfsuid(65534);   // nobody
    }
    ~AsUnprivilegedUser() {
        if (previousUser_ >= 0) ::setfsuid(static_cast<uid_t>(previousUser_));
        if (previousGroup_ >= 0) ::setfsgid(static_cast<gid_t>(previousGroup_));
    }
    AsUnprivilegedUser(const AsUnprivilegedUser&) = delete;

private:
    int previousUser_ = -1, previousGroup_ = -1;
};

}  // namespace qvd::e2e
