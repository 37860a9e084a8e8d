#include "RefreshRules.h"

#include "PlacementLookup.h"
#include "PlacementRules.h"
#include "Region.h"

namespace zv::rules {

bool grabberHiddenValue(const PluginSettings& settings, Grabber grabber, bool requestedHidden) {
    const bool hideSwitch = grabber == Grabber::Top ? settings.hideTopGrabberLS : settings.hideBottomGrabberLS;
    return settings.enabled && hideSwitch ? true : requestedHidden;
}

bool shouldShowLockStatusBarTime(const PluginSettings& settings, bool previousAnswer) {
    if (!settings.enabled || !settings.enableLockScreenTime) return previousAnswer;
    if (!settings.placement) return true;
    const PlacementEntry* time = placementEntryFor(*settings.placement, kTimeItem);
    if (!time || time->alignment != static_cast<std::int32_t>(Region::Hidden)) return true;
    return previousAnswer;
}

NotificationCenterActions notificationCenterActions(const PluginSettings& settings,
                                                    NotificationCenterTransition transition) {
    NotificationCenterActions actions;
    actions.gateOpen = settings.enabled && !settings.enableLockScreenTime;
    if (!actions.gateOpen) return actions;
    switch (transition) {
        case NotificationCenterTransition::WillPresent:
            actions.presented = true;
            actions.withdrawTimeItem = true;
            actions.rebuildTimeItem = true;
            break;
        case NotificationCenterTransition::WillDismiss:
            actions.withdrawTimeItem = true;
            break;
        case NotificationCenterTransition::DidDismiss:
            actions.rebuildTimeItem = true;
            break;
    }
    return actions;
}

}  // namespace zv::rules
