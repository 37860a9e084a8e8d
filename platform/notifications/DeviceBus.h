// The device's own notification bus: a dbus-daemon that listens on the
// socket kDeviceBusSocket inside a device root, so that every process given
// that root finds it (NotificationCenter.h).
//
// Starting writes the daemon's configuration into the root
// (var/run/dbus/device_bus.conf: that socket only, EXTERNAL authentication,
// connections from the starting user alone, no eavesdropping), makes the
// socket's folder 0700 and the socket 0600, starts `dbus-daemon` from PATH
// and returns once the daemon listens. Its messages go to var/run/dbus/device_bus.log in the root.
// Destroying the object (or stop()) ends the daemon with SIGTERM and waits
// for it. The daemon also receives SIGTERM when the thread that started it
// ends (Linux's parent-death signal), so a crashed starter leaves no daemon
// behind: start it from a thread that lives as long as the bus.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>

#include "foundation/ChildProcess.h"

// Why a bus could not be started; what() says it plainly.
class DeviceBusError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class DeviceBus {
public:
    // Starts the bus for the device root at `rootHostPath` (a host folder,
    // created when missing). Throws DeviceBusError when the socket path is
    // too long for a unix socket (107 bytes), a bus already listens there,
    // dbus-daemon cannot be started, or it does not listen within
    // `startTimeout`.
    explicit DeviceBus(const std::string& rootHostPath,
                       std::chrono::milliseconds startTimeout = std::chrono::seconds(10));
    ~DeviceBus();

    DeviceBus(DeviceBus&& other) noexcept;
    DeviceBus& operator=(DeviceBus&& other) noexcept;
    DeviceBus(const DeviceBus&) = delete;
    DeviceBus& operator=(const DeviceBus&) = delete;

    // The address the daemon announced ("unix:path=...,guid=...").
    const std::string& address() const { return address_; }
    // Host path of the socket.
    const std::string& socketPath() const { return socketPath_; }
    // Host path of the daemon's log.
    const std::string& logPath() const { return logPath_; }
    // The daemon's process id; -1 once stopped.
    pid_t pid() const;

    // Ends the daemon (SIGTERM, then SIGKILL after a few seconds) and waits
    // for it. Does nothing when already stopped.
    void stop();

private:
    std::optional<zv::process::ChildProcess> daemon_;  // its standard output kept open while it runs
    std::string address_;
    std::string socketPath_;
    std::string logPath_;
};
