// The words the device's processes, the launcher, the screen's page and the
// zorvane tool use for the device's state, decided here once.
//
// Bluetooth: "absent" (the framework is not loaded), "off", "on" and
// "connected" (on, with a device connected).
//
// Battery: the status-bar data's battery state is 0 on battery, 1 charging
// and 2 charged; any state but 0 means the charger is in. Layout events
// carry the state with its words: "charger" ("in" or "out") and "charge"
// ("charging", "charged", or null on battery).
//
// Width: the phone is 320 points wide (the hosts' default), 375 or 414.
#pragma once

#include <algorithm>
#include <iterator>
#include <optional>
#include <string_view>

#include "bluetooth/BluetoothManager.h"

namespace zv::control {

inline constexpr BluetoothState kBluetoothStates[] = {BluetoothState::Absent, BluetoothState::Off, BluetoothState::On,
                                                      BluetoothState::Connected};

inline const char* bluetoothWord(BluetoothState state) {
    switch (state) {
        case BluetoothState::Absent: return "absent";
        case BluetoothState::Off: return "off";
        case BluetoothState::On: return "on";
        case BluetoothState::Connected: return "connected";
    }
    return "absent";
}

inline std::optional<BluetoothState> bluetoothStateNamed(std::string_view word) {
    for (BluetoothState state : kBluetoothStates)
        if (word == bluetoothWord(state)) return state;
    return std::nullopt;
}

inline constexpr int kOnBattery = 0;
inline constexpr int kCharging = 1;
inline constexpr int kCharged = 2;

inline bool chargerIn(int batteryState) { return batteryState != kOnBattery; }
inline const char* chargerWord(int batteryState) { return chargerIn(batteryState) ? "in" : "out"; }
// "charging", "charged", or nullptr on battery (and for a state with no word).
inline const char* chargeWord(int batteryState) {
    return batteryState == kCharging ? "charging" : batteryState == kCharged ? "charged" : nullptr;
}

inline constexpr int kPhoneWidths[] = {320, 375, 414};

inline bool isPhoneWidth(long long points) {
    return std::find(std::begin(kPhoneWidths), std::end(kPhoneWidths), points) != std::end(kPhoneWidths);
}

}  // namespace zv::control
