#include "ItemViewRules.h"

#include "PlacementLookup.h"
#include "PlacementRules.h"
#include "Region.h"

namespace zv::rules {

RuleAnswer<bool> shouldLayoutImageOnRight(const PluginSettings& settings, BreadcrumbView view) {
    if (!settings.enabled || !settings.placement) return RuleAnswer<bool>::previous();
    if (view == BreadcrumbView::Breadcrumb) {
        const PlacementEntry* entry = placementEntryFor(*settings.placement, kBreadcrumbItem);
        if (alignmentOrLeft(entry) == static_cast<std::int32_t>(Region::Right)) return RuleAnswer<bool>::answer(true);
        return RuleAnswer<bool>::previous();
    }
    const PlacementEntry* entry = placementEntryFor(*settings.placement, kOpenInSafariItem);
    if (alignmentOrLeft(entry) == static_cast<std::int32_t>(Region::Left)) return RuleAnswer<bool>::answer(false);
    return RuleAnswer<bool>::previous();
}

bool titleIsDestinationText(const PluginSettings& settings) { return settings.shortBreadcrumb; }

bool drawsTransparentBatteryGlyph(const PluginSettings& settings) { return settings.enabled && settings.hideBattery; }

}  // namespace zv::rules
