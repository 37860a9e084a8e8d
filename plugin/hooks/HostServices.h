// Every operation the plug-in asks of its host process, in one place: the
// host's classes are looked up by name on first use and kept in a
// per-process cache (a lookup that finds nothing is tried again next
// time), and every message goes through the runtime. A missing class or
// instance answers NO, 0 or nothing, and callers rely on exactly that: an
// unknown lock state counts as unlocked, a missing Bluetooth manager as not
// connected, a missing status bar or aggregator turns a refresh into
// nothing.
//
// Main thread only, like everything the plug-in does.
#pragma once

#include <cstdint>
#include <string>

#include "LiveHostState.h"
#include "runtime/Runtime.h"

namespace zv::host {

// SBLockScreenManager sharedInstance, isUILocked.
bool isUILocked();
// BluetoothManager sharedInstance, enabled, connected, asked in this order
// and stopping at the first that fails.
bool isBluetoothDeviceConnected();

// The item's `type`; its "%02d" text is the ItemKey. Inline: every
// placement question asks it.
inline std::int32_t itemType(id item) {
    static const SEL type = sel_registerName("type");
    return objc_msgSend<std::int32_t>(item, type);
}
// A breadcrumb view's `destinationText`.
std::string destinationText(id view);
// The battery state of a status-bar data object: the signed 32-bit value at
// byte 1544 of its `rawData`; 0 when there is no data object or record.
std::int32_t batteryState(id data);

// UIApplication sharedApplication, then its statusBar; null when either is
// missing.
id applicationStatusBar();
void setShowsOnlyCenterItems(id statusBar, bool onlyCenter);

// SBStatusBarStateAggregator sharedInstance; null where it does not exist.
id stateAggregator();
void resetTimeItemFormatter(id aggregator);
void updateTimeItems(id aggregator);
void setItemEnabled(id aggregator, std::int32_t type, bool enabled);
void updateStatusBarItem(id aggregator, std::int32_t type);

// UIApplication sharedApplication, then _relaunchSpringBoardNow.
void relaunchSpringBoardNow();

// A new fully transparent image of the size in points, drawn with the
// platform's image context: clear colour, filled over the whole size.
id transparentImage(double width, double height);
// The image set's setImage:.
void setImage(id imageSet, id image);

// The live state of this host process, for the placement rules.
class HostLiveState final : public LiveHostState {
public:
    bool isScreenLocked() const override { return isUILocked(); }
    bool isBluetoothDeviceConnected() const override { return host::isBluetoothDeviceConnected(); }
};

}  // namespace zv::host
