// The status-bar reload and the battery refresh: the host rebuilds items,
// and asks the placement questions anew, only when told to.
#include "PlacementRules.h"
#include "RefreshRules.h"
#include "hooks/HostServices.h"
#include "hooks/PluginState.h"

namespace zv {

namespace {

// Withdraws the item and makes the host build it again.
void rebuildItem(id aggregator, std::int32_t type) {
    host::setItemEnabled(aggregator, type, false);
    host::updateStatusBarItem(aggregator, type);
}

}  // namespace

void pluggedInChanged(CFNotificationCenterRef, void*, CFStringRef, const void*, CFDictionaryRef) {
    // Runs whatever the switches say: the rebuilt Battery item is placed by
    // the rules, which read the battery state.
    rebuildItem(host::stateAggregator(), rules::kBatteryItem);
}

}  // namespace zv

extern "C" ZV_EXPORT void reloadStatusBar(CFNotificationCenterRef, void*, CFStringRef, const void*, CFDictionaryRef) {
    using namespace zv;
    // A reload asked for from inside a running one is dropped, not queued.
    if (isReloading) return;
    isReloading = 1;
    id statusBar = host::applicationStatusBar();
    if (!statusBar) {
        isReloading = 0;
        return;
    }
    host::setShowsOnlyCenterItems(statusBar, true);
    host::setShowsOnlyCenterItems(statusBar, false);
    id aggregator = host::stateAggregator();
    host::resetTimeItemFormatter(aggregator);
    host::updateTimeItems(aggregator);
    for (std::int32_t type : rules::kReloadList) rebuildItem(aggregator, type);
    isReloading = 0;
}
