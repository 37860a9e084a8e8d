// Keeps the device's bus running for the launcher: a bus daemon that ends
// while the launcher runs is started again at once on the same socket (the
// same address), and the launcher says so in one line on its output
// ("launcher: the device's bus was killed by signal 9; started again on ..."). The
// processes reconnect by themselves (NotificationCenter.h). A daemon that
// ends within a second of its start is restarted after a second's pause,
// so a daemon that cannot run does not spin the launcher.
#pragma once

#include <glib.h>

#include <chrono>
#include <memory>
#include <string>

#include "foundation/MainQueueTask.h"
#include "notifications/DeviceBus.h"

namespace zv::device {

class BusKeeper {
public:
    // Starts the bus; throws DeviceBusError as DeviceBus does.
    explicit BusKeeper(std::string hostRoot);
    ~BusKeeper();
    BusKeeper(const BusKeeper&) = delete;
    BusKeeper& operator=(const BusKeeper&) = delete;

    const DeviceBus& bus() const { return *bus_; }
    // Ends the bus for good (no restart).
    void stop();

private:
    // The daemon is watched without being reaped (a pidfd, or a poll where
    // there is none), so its process id stays its own until DeviceBus::stop
    // reaps it.
    static gboolean onDaemonFd(gint fd, GIOCondition condition, gpointer self);
    void poll();
    void daemonEnded(std::string ending);
    void watch();
    void unwatch();
    void restart();

    std::string hostRoot_;
    std::unique_ptr<DeviceBus> bus_;
    std::chrono::steady_clock::time_point started_;
    std::string ending_;  // how the last daemon ended, for the line that reports its successor
    int pidfd_ = -1;
    guint pidfdWatch_ = 0;
    MainQueueTask poll_{[this] { poll(); }};
    MainQueueTask restartTimer_{[this] { restart(); }};
};

}  // namespace zv::device
