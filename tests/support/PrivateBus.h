// A test device with its own notification bus: a TempDeviceRoot with a
// DeviceBus running on it. Processes started with environment() find the
// bus; the bus stops and the root is removed when the object goes.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "TempDeviceRoot.h"
#include "notifications/DeviceBus.h"

namespace zv::test {

class PrivateBus {
public:
    // Throws DeviceBusError when the bus does not start (the message says why).
    PrivateBus() : bus_(root_.path()) {}

    const TempDeviceRoot& root() const { return root_; }
    const DeviceBus& bus() const { return bus_; }
    // Ends the bus and starts a new one on the same socket, as when the
    // device's bus daemon is restarted.
    void restart() {
        stop();
        start();
    }
    // The two halves of a restart, for what happens while the bus is away.
    void stop() { bus_.stop(); }
    void start() { bus_ = DeviceBus(root_.path()); }

    // ZV_DEVICE_ROOT for processes that should live on this device.
    std::vector<std::pair<std::string, std::string>> environment() const { return {{"ZV_DEVICE_ROOT", root_.path()}}; }

private:
    TempDeviceRoot root_;  // declared first: outlives the bus that lives in it
    DeviceBus bus_;
};

}  // namespace zv::test
