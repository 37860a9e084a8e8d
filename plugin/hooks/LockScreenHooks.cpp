// Replacements of SpringBoard's lock-screen and notification-centre methods.
#include "PlacementRules.h"
#include "RefreshRules.h"
#include "hooks/HostServices.h"
#include "hooks/PluginState.h"
#include "hooks/Replacements.h"

namespace zv::hooks {

host::SetGrabberHidden previousSetTopGrabberHidden = nullptr;
host::SetGrabberHidden previousSetBottomGrabberHidden = nullptr;
host::BoolGetter previousShouldShowLockStatusBarTime = nullptr;
host::Action previousHostWillDismiss = nullptr;
host::Action previousHostWillPresent = nullptr;
host::Action previousHostDidDismiss = nullptr;

namespace {

// The plug-in's part of a notification-centre transition; the caller then
// runs the previous implementation.
void notificationCenterTransition(rules::NotificationCenterTransition transition) {
    const rules::NotificationCenterActions actions = rules::notificationCenterActions(pluginSettings(), transition);
    if (!actions.gateOpen) return;
    // The flag is written before the lock state is asked.
    isNotificationCenterPresented = actions.presented;
    if (!host::isUILocked()) return;
    id aggregator = host::stateAggregator();
    if (actions.withdrawTimeItem) host::setItemEnabled(aggregator, rules::kTimeItem, false);
    if (actions.rebuildTimeItem) host::updateStatusBarItem(aggregator, rules::kTimeItem);
}

}  // namespace

void setTopGrabberHidden(id self, SEL _cmd, bool hidden, id requester) {
    previousSetTopGrabberHidden(self, _cmd, rules::grabberHiddenValue(pluginSettings(), rules::Grabber::Top, hidden),
                                requester);
}

void setBottomGrabberHidden(id self, SEL _cmd, bool hidden, id requester) {
    previousSetBottomGrabberHidden(self, _cmd,
                                   rules::grabberHiddenValue(pluginSettings(), rules::Grabber::Bottom, hidden),
                                   requester);
}

bool shouldShowLockStatusBarTime(id self, SEL _cmd) {
    const bool previous = previousShouldShowLockStatusBarTime(self, _cmd);
    return rules::shouldShowLockStatusBarTime(pluginSettings(), previous);
}

void hostWillDismiss(id self, SEL _cmd) {
    notificationCenterTransition(rules::NotificationCenterTransition::WillDismiss);
    previousHostWillDismiss(self, _cmd);
}

void hostWillPresent(id self, SEL _cmd) {
    notificationCenterTransition(rules::NotificationCenterTransition::WillPresent);
    previousHostWillPresent(self, _cmd);
}

void hostDidDismiss(id self, SEL _cmd) {
    notificationCenterTransition(rules::NotificationCenterTransition::DidDismiss);
    previousHostDidDismiss(self, _cmd);
}

}  // namespace zv::hooks
