#pragma once
// The virtual host of a fuzzed session, with two things added: every event
// it dispatches runs inside the same catch the real host's event loop has
// (only the serial component's EVaCommError may arrive there), and each
// step of the session has a cap on the virtual time it may take.
#include "core/host/VirtualHost.h"
#include "core/serial/EVaCommError.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <map>
#include <string>
#include <utility>

namespace qvd::fuzz {

// Prints why and stops the process, so that libFuzzer keeps the input.
[[noreturn]] inline void Fail(const std::string& why) {
    std::fprintf(stderr, "\n*** qvd_fuzz_session: %s\n", why.c_str());
    std::fflush(stderr);
    std::abort();
}

// The processor time each step took, summed over all sessions of the
// process; printed when it ends. Shows where a run's time goes.
class StepProfile {
public:
    static StepProfile& Get() {
        static StepProfile profile;
        return profile;
    }
    void Charge(const std::string& step) {
        const double now = CpuMs();
        if (last_ >= 0) msByStep_[step] += now - last_;
        last_ = now;
    }
    ~StepProfile() {
        double total = 0;
        for (const auto& [step, ms] : msByStep_) total += ms;
        for (const auto& [step, ms] : msByStep_)
            std::fprintf(stderr, "profile %-28s %10.0f ms %5.1f %%\n", step.c_str(), ms, total > 0 ? 100 * ms / total : 0.0);
    }

private:
    static double CpuMs() {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
    }
    std::map<std::string, double> msByStep_;
    double last_ = -1;
};

class FuzzHost : public VirtualHost {
public:
    explicit FuzzHost(uint32_t startTick) : VirtualHost(startTick) {}

    // The running step may go on until this virtual time, not past it.
    void SetStep(const std::string& name, uint64_t capMs) {
        if (profileSteps) StepProfile::Get().Charge(stepSet_ ? step_ : "(set-up)");
        stepSet_ = true;
        step_ = name;
        deadline_ = Time() + capMs;
        if (traceSteps) std::fprintf(stderr, "step %-28s at %llu ms\n", name.c_str(), static_cast<unsigned long long>(Time()));
    }
    bool traceSteps = false;
    bool profileSteps = false;  // CPU time per step, printed at exit
    const std::string& Step() const { return step_; }
    uint64_t Deadline() const { return deadline_; }

    // Runs fn as one dispatched event: what the program's own code throws
    // stops there, as in the real event loop.
    void Dispatch(const std::function<void()>& fn) {
        struct Nesting {
            int& depth;
            explicit Nesting(int& d) : depth(++d) {}
            ~Nesting() { --depth; }
        } nesting(depth_);
        // Waits let events in, and those may wait in turn; an honest session
        // stays a few levels deep. Deeper means some wait nests in the next
        // without bound, which ends in a stack overflow after long enough.
        if (depth_ > kMaxNesting) Fail("events nest " + std::to_string(depth_) + " deep in step " + step_);
        try {
            fn();
        } catch (const EVaCommError& error) {
            ++commErrorsAtTop;
            lastCommError = error.what();
        } catch (const std::exception& error) {
            Fail("exception reached the event loop in step " + step_ + ": " + error.what());
        } catch (...) {
            Fail("unknown exception reached the event loop in step " + step_);
        }
    }
    // An event of the fuzzed device at an absolute virtual time.
    void Schedule(uint64_t at, std::function<void()> fn) { At(at, std::move(fn)); }

    void WaitAndDispatch(uint32_t deadline) override {
        const uint64_t before = Time();
        VirtualHost::WaitAndDispatch(deadline);
        CheckTime();
        // A wait that neither advances the clock nor finds anything to run,
        // over and over, is a loop that never ends.
        if (Time() == before) {
            if (++stalledWaits_ > kStalledWaitLimit)
                Fail("busy loop without progress of virtual time in step " + step_);
        } else {
            stalledWaits_ = 0;
        }
    }
    void Sleep(uint32_t ms) override {
        VirtualHost::Sleep(ms);
        CheckTime();
    }

    // How many dispatched events run inside one another right now.
    static constexpr int kMaxNesting = 32;

    int commErrorsAtTop = 0;
    std::string lastCommError;

protected:
    // Every timed, posted and wake-up event: one dispatch each.
    void RunEvent(const std::function<void()>& fn) override { Dispatch(fn); }

private:
    static constexpr uint64_t kStalledWaitLimit = 2000000;

    void CheckTime() {
        if (Time() > deadline_)
            Fail("step " + step_ + " did not end within its virtual time cap (now " +
                 std::to_string(Time()) + " ms, cap " + std::to_string(deadline_) + " ms)");
    }

    std::string step_ = "construction";
    bool stepSet_ = false;
    uint64_t deadline_ = UINT64_MAX;
    uint64_t stalledWaits_ = 0;
    int depth_ = 0;
};

}  // namespace qvd::fuzz
