// The refresh and lock-screen rules: which items a status-bar reload
// rebuilds, what the lock-screen grabbers and the lock-screen status-bar
// time answer, and what a notification-centre transition does. The hooks
// carry them out on the host (plugin/hooks/Refresh.cpp,
// plugin/hooks/LockScreenHooks.cpp).
#pragma once

#include <array>
#include <cstdint>

#include "PluginSettings.h"

namespace zv::rules {

// The item types a status-bar reload withdraws and rebuilds, in this order,
// one type at a time: every catalogue type except Time (refreshed on its own
// first), Plus and the two spacers. Fixed; it does not follow the settings.
inline constexpr std::array<std::int32_t, 24> kReloadList{1,  2,  3,  4,  5,  7,  8,  9,  10, 11, 12, 13,
                                                          16, 17, 19, 20, 21, 22, 23, 24, 25, 31, 32, 33};

enum class Grabber { Top, Bottom };

// The hidden value passed on to the host's grabber setter: YES while the
// plug-in is on and the grabber's switch is on, otherwise the caller's
// value. A request to hide always passes unchanged.
bool grabberHiddenValue(const PluginSettings& settings, Grabber grabber, bool requestedHidden);

// shouldShowLockStatusBarTime, given the host's own answer (always asked
// first): YES while the plug-in and the lock-screen time are on and the
// Time item is not placed `hidden` (no table, or no entry, counts as not
// hidden); otherwise the host's answer.
bool shouldShowLockStatusBarTime(const PluginSettings& settings, bool previousAnswer);

enum class NotificationCenterTransition { WillPresent, WillDismiss, DidDismiss };

// What a notification-centre transition does before the host's own
// implementation runs. The gate is open while the plug-in is on and the
// lock-screen time is off; with the gate closed nothing but the host's own
// implementation runs. With the gate open the flag
// `isNotificationCenterPresented` takes `presented` first; then, only if the
// screen is locked, the Time item is withdrawn and/or rebuilt.
struct NotificationCenterActions {
    bool gateOpen = false;
    bool presented = false;
    bool withdrawTimeItem = false;  // aggregator _setItem:0 enabled:NO
    bool rebuildTimeItem = false;   // aggregator updateStatusBarItem:0
    bool operator==(const NotificationCenterActions&) const = default;
};
NotificationCenterActions notificationCenterActions(const PluginSettings& settings,
                                                    NotificationCenterTransition transition);

}  // namespace zv::rules
