// `zorvane show`: the status bar a settings file gives, computed by the real
// plug-in in a real host (SpringBoard, or an application) on a temporary
// device, as text and, drawn from the host's layout event as the device's
// screen draws it (control/LayoutPicture.h), as the status-bar picture.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "StatusBarFit.h"
#include "control/DeviceWords.h"
#include "self/ProgramLocations.h"

namespace zv::tools {

struct ShowOptions {
    bool locked = false;                      // SpringBoard's screen locked
    std::optional<BluetoothState> bluetooth;  // none: the host's own (no Bluetooth framework loaded)
    std::optional<int> batteryState;          // the battery-state field of the status-bar data
    bool app = false;                         // an application's status bar instead of SpringBoard's
    int width = 320;                          // the phone's width in points: 320, 375 or 414
};

// The host's layout: item types of each region, in order from its left end.
struct ShownStatusBar {
    std::vector<int> left;
    std::vector<int> center;
    std::vector<int> right;
    bool onlyCenter = false;
    int width = 320;
    FittedStatusBar frames;  // where the host put the items that fit, and what it left out
};

// What the host reported: its whole layout event (docs/control-protocol.md)
// and the bar read from it.
struct ShownLayout {
    nlohmann::json event;
    ShownStatusBar bar;
};

// Starts the device, applies the options, reads the layout event, takes the
// device down. Throws HostSessionError (HostSession.h) with a one-line reason.
ShownLayout showStatusBar(const std::string& settingsBytes, const ShowOptions& options,
                          const ProgramLocations& locations);

// "Left:   03 SignalStrength (Cellular), 04 Carrier" ..., one line per region,
// and a line of the items that did not fit the width.
std::string statusBarText(const ShownStatusBar& bar);

}  // namespace zv::tools
