#include "bench/soak/SimProcess.h"

#include "testkit/RealTime.h"
#include "testkit/ScratchDir.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>

extern char** environ;

namespace qvd::soak {

namespace fs = std::filesystem;

SimProcess::SimProcess(std::string simPath, fs::path link, fs::path folder)
    : simPath_(std::move(simPath)), link_(std::move(link)), folder_(std::move(folder)) {}

SimProcess::~SimProcess() { Stop(); }

bool SimProcess::Start(const std::string& ram, const std::vector<std::string>& options) {
    Stop();
    std::error_code ignored;
    if (!out_.empty()) {  // the last run's record is no longer read
        fs::remove(out_, ignored);
        fs::remove(fs::path(out_).replace_extension(".err"), ignored);
    }
    fs::remove(link_, ignored);  // a killed run leaves its link behind
    ++runs_;
    const fs::path ramFile = folder_ / "sim.ram";
    test::WriteFile(ramFile, ram);
    out_ = folder_ / ("sim-" + std::to_string(runs_) + ".out");
    const fs::path err = fs::path(out_).replace_extension(".err");

    std::vector<std::string> args = {simPath_, "--link", link_.string(), "--verbose", "--ram", ramFile.string()};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    // The soak blocks SIGINT and SIGTERM for its signal watch; the adapter
    // must not inherit that, so that a Ctrl-C ends it too.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    pid_t pid = -1;
    const bool spawned = ::posix_spawn(&pid, simPath_.c_str(), &files, &attributes, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attributes);
    {
        std::lock_guard lock(mutex_);
        pid_ = spawned ? pid : -1;
        killedBySoak_ = diedOnItsOwn_ = killed_ = false;
    }
    return spawned && test::WaitFor([&] { return fs::exists(link_) || !Running(); }, 10000) && Running();
}

void SimProcess::Stop() {
    EndKiller();
    std::lock_guard lock(mutex_);
    ReapLocked();
    if (pid_ <= 0) return;  // never signal pid -1: that is every process
    killedBySoak_ = true;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

void SimProcess::ReapLocked() {
    int status = 0;
    if (pid_ <= 0 || ::waitpid(pid_, &status, WNOHANG) != pid_) return;
    pid_ = -1;
    if (!killedBySoak_) diedOnItsOwn_ = true;
}

bool SimProcess::Running() {
    std::lock_guard lock(mutex_);
    ReapLocked();
    return pid_ > 0;
}

bool SimProcess::DiedOnItsOwn() {
    std::lock_guard lock(mutex_);
    ReapLocked();
    return diedOnItsOwn_;
}

void SimProcess::KillAfter(const std::string& command, int delayMs) {
    EndKiller();
    killer_ = std::thread([this, command, delayMs] {
        const auto taken = [&] {
            const std::vector<std::string> got = Received();
            return std::find(got.begin(), got.end(), command) != got.end();
        };
        if (!test::WaitFor([&] { return abandon_ || taken() || !Running(); }, 120000) || abandon_ || !Running()) return;
        if (test::WaitFor([&] { return abandon_.load(); }, delayMs)) return;
        std::lock_guard lock(mutex_);
        ReapLocked();  // gone already: someone else's kill
        if (pid_ <= 0) return;
        killedBySoak_ = killed_ = true;
        ::kill(pid_, SIGKILL);  // reaped on the soak's thread
    });
}

bool SimProcess::EndKiller() {
    abandon_ = true;
    if (killer_.joinable()) killer_.join();
    abandon_ = false;
    std::lock_guard lock(mutex_);
    return killed_;
}

std::vector<std::string> SimProcess::Received() const {
    static const std::string kTag = "qvd-sim: Befehl: ";
    std::vector<std::string> commands;
    std::istringstream text(test::ReadFile(out_));
    for (std::string line; std::getline(text, line) && !text.eof();)  // a line without its end is still coming
        if (line.starts_with(kTag)) commands.push_back(line.substr(kTag.size()));
    return commands;
}

}  // namespace qvd::soak
