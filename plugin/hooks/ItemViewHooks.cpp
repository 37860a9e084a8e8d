// Replacements of the breadcrumb, battery-percentage and battery item views.
#include "hooks/Replacements.h"

namespace zv::hooks {

host::BoolGetter previousBreadcrumbShouldLayoutImageOnRight = nullptr;
host::BoolGetter previousOpenInSafariShouldLayoutImageOnRight = nullptr;
host::TitleForLevel previousBreadcrumbShortenedTitle = nullptr;
host::TitleForLevel previousOpenInSafariShortenedTitle = nullptr;
host::UpdateForNewData previousBatteryPercentUpdateForNewData = nullptr;
host::ObjectGetter previousBatteryContentsImage = nullptr;

bool breadcrumbShouldLayoutImageOnRight(id self, SEL _cmd) {
    return previousBreadcrumbShouldLayoutImageOnRight(self, _cmd);
}

bool openInSafariShouldLayoutImageOnRight(id self, SEL _cmd) {
    return previousOpenInSafariShouldLayoutImageOnRight(self, _cmd);
}

std::string breadcrumbShortenedTitle(id self, SEL _cmd, std::int64_t level) {
    return previousBreadcrumbShortenedTitle(self, _cmd, level);
}

std::string openInSafariShortenedTitle(id self, SEL _cmd, std::int64_t level) {
    return previousOpenInSafariShortenedTitle(self, _cmd, level);
}

bool batteryPercentUpdateForNewData(id self, SEL _cmd, id data, std::int32_t actions) {
    return previousBatteryPercentUpdateForNewData(self, _cmd, data, actions);
}

id batteryContentsImage(id self, SEL _cmd) { return previousBatteryContentsImage(self, _cmd); }

}  // namespace zv::hooks
