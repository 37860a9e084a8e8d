// BluetoothManager (the private Bluetooth framework's manager). A host
// registers the class when it loads the framework, on first use, so before
// that the class does not exist in the process.
//   +sharedInstance   the manager, nil while the device has none
//   -enabled          whether Bluetooth is on
//   -connected        whether a device is connected
// Each is recorded in the host trace.
#pragma once

#include "runtime/Runtime.h"

enum class BluetoothState {
    Absent,     // sharedInstance answers nil
    Off,
    On,         // on, no device connected
    Connected,  // on, a device connected
};

struct BluetoothManager : objc_object {
    BluetoothState state = BluetoothState::Off;
};

// Registers the class (once) and creates the manager, off.
void registerBluetoothClasses();
// The process's manager (its state decides what the runtime answers).
BluetoothManager& bluetoothManager();
