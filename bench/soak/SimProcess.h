#pragma once
// qvd-sim as a child process under one link name, as a USB adapter that can
// be pulled and plugged in again: started with the RAM the soak believes in,
// killed by the soak on purpose, or found dead when someone else killed it.
#include <atomic>
#include <filesystem>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace qvd::soak {

class SimProcess {
public:
    SimProcess(std::string simPath, std::filesystem::path link, std::filesystem::path folder);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Starts a run serving `ram` with the given extra options (type and
    // faults); true once its terminal is linked.
    bool Start(const std::string& ram, const std::vector<std::string>& options);
    // The soak's own end of a run: SIGKILL, as pulling the plug.
    void Stop();

    // From a thread: SIGKILL delayMs after the run has taken `command`.
    void KillAfter(const std::string& command, int delayMs);
    // Ends that thread (a kill not yet due is dropped); true when it was the
    // soak that killed the run.
    bool EndKiller();

    // True when the run has ended without the soak killing it (someone's
    // pkill, or qvd-sim ending by itself). Sticky until the next Start.
    bool DiedOnItsOwn();
    bool Running();
    // The commands the run has taken so far (qvd-sim --verbose).
    std::vector<std::string> Received() const;
    int runs() const { return runs_; }

private:
    // Reaps the run if it has ended; with mutex_ held.
    void ReapLocked();

    const std::string simPath_;
    const std::filesystem::path link_, folder_;
    std::filesystem::path out_;
    int runs_ = 0;

    std::mutex mutex_;
    pid_t pid_ = -1;
    bool killedBySoak_ = false, diedOnItsOwn_ = false;
    bool killed_ = false;  // by the last KillAfter
    std::thread killer_;
    std::atomic<bool> abandon_{false};  // the killer gives up waiting
};

}  // namespace qvd::soak
