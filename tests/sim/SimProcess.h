#pragma once
// qvd-sim started as a process with its link in a fresh temporary folder.
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace qvd::test {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

inline std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline bool Eventually(const std::function<bool()>& pred, int ms = 10000) {
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (!pred()) {
        if (Clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

class SimProcess {
public:
    using Prepare = std::function<void(const fs::path& link)>;
    // prepare: sets the scene at the link's path before the start.
    explicit SimProcess(std::vector<std::string> options, Prepare prepare = {}, bool waitForLink = true) {
        char name[] = "/tmp/qvd-sim-test-XXXXXX";
        dir_ = ::mkdtemp(name);
        link_ = dir_ / "ports" / "COM1";  // the directory does not exist yet
        if (prepare) prepare(link_);
        std::vector<std::string> args = {QVD_SIM_PATH, "--link", link_.string()};
        args.insert(args.end(), options.begin(), options.end());
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        const std::string out = (dir_ / "out").string(), err = (dir_ / "err").string();
        posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (::posix_spawn(&pid_, QVD_SIM_PATH, &files, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&files);
        if (waitForLink) linked_ = Eventually([&] { return fs::exists(link_); });
    }
    ~SimProcess() {
        if (pid_ > 0) Stop();
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    bool Linked() const { return linked_; }
    std::string Link() const { return link_.string(); }
    std::string Stdout() const { return Slurp(dir_ / "out"); }
    std::string Stderr() const { return Slurp(dir_ / "err"); }

    // Exit status after SIGTERM (or the status it already ended with).
    int Stop(int signal = SIGTERM) {
        if (pid_ <= 0) return -1;
        ::kill(pid_, signal);
        return Wait();
    }
    int Wait() {
        int status = 0;
        if (!Eventually([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; })) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
        }
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    fs::path dir_;
    fs::path link_;
    pid_t pid_ = -1;
    bool linked_ = false;
};

}  // namespace qvd::test
