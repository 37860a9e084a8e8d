// The host's live state that some placement rules consult: the lock state
// and the Bluetooth state. Asking means sending messages to host objects, so
// a rule asks only when its table reaches the row that needs the answer, and
// in the table's order; nothing is cached between questions.
#pragma once

#include <cstdint>

namespace zv {

class LiveHostState {
public:
    virtual ~LiveHostState() = default;
    // Whether the device's screen is locked; an unknown state counts as
    // unlocked.
    virtual bool isScreenLocked() const = 0;
    // Whether a Bluetooth manager exists, reports Bluetooth on, and reports a
    // connected device (asked in this order, stopping at the first NO).
    virtual bool isBluetoothDeviceConnected() const = 0;
};

// The plug-in-wide run-time values the rules read, as they stand when a
// question is asked.
struct RuntimeFlags {
    bool notificationCenterPresented = false;
    std::int32_t lastBatteryState = 0;
};

}  // namespace zv
