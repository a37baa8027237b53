#pragma once
// Serves the device model on a pseudo-terminal in real time: the PC opens the
// slave side like a serial port; answers leave at the line rate.
#include "sim/PacedQueue.h"
#include "sim/QvdDevice.h"

#include <functional>
#include <string>

namespace qvd::sim {

class PtyServer {
public:
    // Opens the pair; throws std::runtime_error with a printable reason.
    PtyServer(QvdDevice& device, bool paced);
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    const std::string& SlavePath() const { return slavePath_; }
    // Serves until stopFd (a signalfd) becomes readable, or until the device
    // has vanished and the PC has read what it sent before.
    void Run(int stopFd);
    bool Vanished() const { return vanished_; }

    // Called after the device has taken each batch of bytes from the PC.
    std::function<void()> afterReceive;

private:
    void ReadFromPc();
    void SendDue();
    bool Drained();
    bool ReadyEmpty() const { return readyHead_ == ready_.size(); }  // nothing on its way any more, the PC has read it all

    QvdDevice& device_;
    PacedQueue queue_;
    std::string ready_;  // through the line but not yet taken by the pty
    size_t readyHead_ = 0;  // bytes of ready_ the pty has taken
    bool vanishing_ = false, vanished_ = false;
    int64_t drainedSinceNs_ = 0;
    int64_t emptySinceNs_ = 0;
    int master_ = -1;
    // Held open so that the master does not hang up whenever the PC closes
    // the port; the PC can then close and reopen as often as it likes.
    int spareSlave_ = -1;
    std::string slavePath_;
};

}  // namespace qvd::sim
