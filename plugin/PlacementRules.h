// The placement rules: how the plug-in answers the seven questions the
// host's status bar asks its items (UIStatusBarItem), from the user's
// PlacementTable and switches.
//
// Each rule is a plain function of the settings of the last load, the item
// type (and region), the plug-in's run-time flags and the host's live state.
// It answers a value of its own or RuleAnswer::previous(), in which case the
// host's own implementation of the question answers unchanged. Wherever the
// placement has nothing to say (plug-in off, no table, no entry, or the item
// left at `default`) the answer is previous. Nothing is cached: every
// answer is computed afresh, because the inputs change under it.
#pragma once

#include <cstdint>

#include "LiveHostState.h"
#include "PluginSettings.h"
#include "RuleAnswer.h"

namespace zv::rules {

inline constexpr std::int32_t kTimeItem = 0;
inline constexpr std::int32_t kBatteryItem = 7;
inline constexpr std::int32_t kBluetoothItem = 11;
inline constexpr std::int32_t kBreadcrumbItem = 32;
inline constexpr std::int32_t kOpenInSafariItem = 33;

// isItemWithTypeExclusive: (a class method; the argument is the item type).
// NO for the two breadcrumb types while the plug-in is on and
// `isBreadcrumbExclusive` is off; otherwise previous.
RuleAnswer<bool> isItemWithTypeExclusive(const PluginSettings& settings, std::int32_t type);

// appearsInRegion: with the region code R (0 left, 1 right, 2 center).
// Besides the placement it carries three special rules: the Time item while
// the screen is locked (unless the lock-screen time is on, or the
// notification centre is shown), the Bluetooth item under
// `bluetoothConnectedOnly`, and the Battery item under `hideBattery` while
// the last battery state is 0. `live` is asked only when a rule needs it:
// the lock state for the Time item only, the Bluetooth state for the
// Bluetooth item only when it is not hidden.
RuleAnswer<bool> appearsInRegion(const PluginSettings& settings, std::int32_t type, std::int32_t region,
                                 const RuntimeFlags& flags, const LiveHostState& live);

// leftOrder, centerOrder, rightOrder: the entry's `idx` when the item is
// placed in that region, otherwise previous.
enum class OrderQuestion { Left, Center, Right };
RuleAnswer<std::int64_t> order(const PluginSettings& settings, std::int32_t type, OrderQuestion question);

// appearsOnLeft, appearsOnRight: YES only for the side the item is placed
// on, NO for center and hidden items, previous for items at `default` or
// without an entry.
enum class SideQuestion { Left, Right };
RuleAnswer<bool> appearsOnSide(const PluginSettings& settings, std::int32_t type, SideQuestion question);

}  // namespace zv::rules
