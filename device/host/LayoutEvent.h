// The host's `layout` event: what its status bar shows and, in SpringBoard,
// what its lock screen and notification centre show, pushed to whoever
// drives the process (the launcher's screen) each time it changes.
//
// The status bar tells the host after every change of its arrangement; the
// commands that change what the screen shows without a new arrangement (the
// battery data, the notification centre, a grabber) tell it too. Changes made
// during one turn of the main loop give one event, written once that turn is
// over, so a reload that rebuilds two dozen items is one event.
#pragma once

#include "HostCommands.h"
#include "control/ControlChannel.h"

namespace zv::device {

// The status bar as laid out now: `left`, `center`, `right` (item types from
// each region's left end), `onlyCenter`, the bar's `width` in points, the
// `frames` of the items that fit ({type, x, width} by region) and `leftOut`
// (the types that did not fit); with `detail`, the placements.
control::Json statusBarLayout(bool detail);

// {"event":"layout", statusBarLayout fields, "names" (each region's items as
// a screen reader says them), "battery", "bluetooth", and in SpringBoard
// "locked", "grabbers", "notificationCenter"}.
control::Json layoutEvent(const HostContext& context);

// The Bluetooth state's word now (control/DeviceWords.h): "absent" while the
// Bluetooth framework is not loaded.
const char* bluetoothWordNow();

// Writes the layout event now.
void writeLayoutEvent(const HostContext& context);

// Writes the layout event once the current turn of the main loop is over
// (once, however often it is asked for during that turn).
void announceLayout(HostContext& context);

}  // namespace zv::device
