#pragma once
// qvd-sim started as a process with its link in a fresh temporary folder.
#include "support/RealTime.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <functional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace qvd::test {

namespace fs = std::filesystem;

inline std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline bool Eventually(const std::function<bool()>& pred, int ms = 10000) {
    for (const auto start = Clock::now(); !pred(); std::this_thread::sleep_for(std::chrono::milliseconds(10)))
        if (MsSince(start) > ms) return false;
    return true;
}

struct SimProcess {
    fs::path dir = [] {
        char name[] = "/tmp/qvd-sim-test-XXXXXX";
        return fs::path(::mkdtemp(name));
    }();
    fs::path link = dir / "ports" / "COM1";  // the folder does not exist yet
    pid_t pid = -1;

    ~SimProcess() {
        if (pid > 0) Stop();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    // Starts qvd-sim on `link`; true once something is there.
    bool Start(const std::vector<std::string>& options) {
        std::vector<std::string> args = {QVD_SIM_PATH, "--link", link.string()};
        args.insert(args.end(), options.begin(), options.end());
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, (dir / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&files, 2, (dir / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (::posix_spawn(&pid, QVD_SIM_PATH, &files, nullptr, argv.data(), environ) != 0) pid = -1;
        posix_spawn_file_actions_destroy(&files);
        return pid > 0 && Eventually([&] { return fs::exists(link); });
    }
    std::string Stdout() const { return Slurp(dir / "out"); }
    std::string Stderr() const { return Slurp(dir / "err"); }

    // Exit status after SIGTERM, or the status it ended with by itself.
    int Stop(bool terminate = true) {
        if (pid <= 0) return -1;  // never signal pid -1: that is every process
        int status = 0;
        if (terminate) ::kill(pid, SIGTERM);
        if (!Eventually([&] { return ::waitpid(pid, &status, WNOHANG) == pid; })) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
        }
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
};

}  // namespace qvd::test
