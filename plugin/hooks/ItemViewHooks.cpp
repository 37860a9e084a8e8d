// Replacements of the breadcrumb, battery-percentage and battery item views.
#include "ItemViewRules.h"
#include "hooks/HostServices.h"
#include "hooks/PluginState.h"
#include "hooks/Replacements.h"

namespace zv::hooks {

host::BoolGetter previousBreadcrumbShouldLayoutImageOnRight = nullptr;
host::BoolGetter previousOpenInSafariShouldLayoutImageOnRight = nullptr;
host::TitleForLevel previousBreadcrumbShortenedTitle = nullptr;
host::TitleForLevel previousOpenInSafariShortenedTitle = nullptr;
host::UpdateForNewData previousBatteryPercentUpdateForNewData = nullptr;
host::ObjectGetter previousBatteryContentsImage = nullptr;

namespace {

std::string shortenedTitle(id self, SEL cmd, std::int64_t level, host::TitleForLevel previous) {
    if (rules::titleIsDestinationText(pluginSettings())) return host::destinationText(self);
    return previous(self, cmd, level);
}

}  // namespace

bool breadcrumbShouldLayoutImageOnRight(id self, SEL _cmd) {
    return rules::shouldLayoutImageOnRight(pluginSettings(), rules::BreadcrumbView::Breadcrumb).resolve([&] {
        return previousBreadcrumbShouldLayoutImageOnRight(self, _cmd);
    });
}

bool openInSafariShouldLayoutImageOnRight(id self, SEL _cmd) {
    return rules::shouldLayoutImageOnRight(pluginSettings(), rules::BreadcrumbView::OpenInSafari).resolve([&] {
        return previousOpenInSafariShouldLayoutImageOnRight(self, _cmd);
    });
}

std::string breadcrumbShortenedTitle(id self, SEL _cmd, std::int64_t level) {
    return shortenedTitle(self, _cmd, level, previousBreadcrumbShortenedTitle);
}

std::string openInSafariShortenedTitle(id self, SEL _cmd, std::int64_t level) {
    return shortenedTitle(self, _cmd, level, previousOpenInSafariShortenedTitle);
}

bool batteryPercentUpdateForNewData(id self, SEL _cmd, id data, std::int32_t actions) {
    // Recorded on every update, whatever the switches say.
    lastBatteryState = host::batteryState(data);
    return previousBatteryPercentUpdateForNewData(self, _cmd, data, actions);
}

id batteryContentsImage(id self, SEL _cmd) {
    id imageSet = previousBatteryContentsImage(self, _cmd);
    if (rules::drawsTransparentBatteryGlyph(pluginSettings()))
        host::setImage(imageSet,
                       host::transparentImage(rules::kTransparentGlyphWidth, rules::kTransparentGlyphHeight));
    return imageSet;
}

}  // namespace zv::hooks
