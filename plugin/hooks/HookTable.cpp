#include "hooks/HookTable.h"

#include "hooks/Replacements.h"

namespace zv::hooks {

namespace {

// The replacement and its slot must have one type: the method's.
template <class F>
HookRow row(const char* className, const char* selector, Side side, F replacement, F* slot) {
    return HookRow{className, selector, side, reinterpret_cast<IMP>(replacement), reinterpret_cast<IMP*>(slot)};
}

}  // namespace

const std::array<HookRow, kHookRowCount>& hookTable() {
    static const std::array<HookRow, kHookRowCount> table{{
        row("UIStatusBarBreadcrumbItemView", "_shouldLayoutImageOnRight", Side::Instance,
            &breadcrumbShouldLayoutImageOnRight, &previousBreadcrumbShouldLayoutImageOnRight),
        row("UIStatusBarBreadcrumbItemView", "shortenedTitleWithCompressionLevel:", Side::Instance,
            &breadcrumbShortenedTitle, &previousBreadcrumbShortenedTitle),
        row("UIStatusBarOpenInSafariItemView", "_shouldLayoutImageOnRight", Side::Instance,
            &openInSafariShouldLayoutImageOnRight, &previousOpenInSafariShouldLayoutImageOnRight),
        row("UIStatusBarOpenInSafariItemView", "shortenedTitleWithCompressionLevel:", Side::Instance,
            &openInSafariShortenedTitle, &previousOpenInSafariShortenedTitle),
        row("UIStatusBarBatteryPercentItemView", "updateForNewData:actions:", Side::Instance,
            &batteryPercentUpdateForNewData, &previousBatteryPercentUpdateForNewData),
        row("UIStatusBarBatteryItemView", "contentsImage", Side::Instance, &batteryContentsImage,
            &previousBatteryContentsImage),
        row("UIStatusBarItem", "isItemWithTypeExclusive:", Side::Class, &isItemWithTypeExclusive,
            &previousIsItemWithTypeExclusive),
        row("UIStatusBarItem", "appearsInRegion:", Side::Instance, &appearsInRegion, &previousAppearsInRegion),
        row("UIStatusBarItem", "leftOrder", Side::Instance, &leftOrder, &previousLeftOrder),
        row("UIStatusBarItem", "centerOrder", Side::Instance, &centerOrder, &previousCenterOrder),
        row("UIStatusBarItem", "rightOrder", Side::Instance, &rightOrder, &previousRightOrder),
        row("UIStatusBarItem", "appearsOnLeft", Side::Instance, &appearsOnLeft, &previousAppearsOnLeft),
        row("UIStatusBarItem", "appearsOnRight", Side::Instance, &appearsOnRight, &previousAppearsOnRight),
        row("SBLockScreenView", "setTopGrabberHidden:forRequester:", Side::Instance, &setTopGrabberHidden,
            &previousSetTopGrabberHidden),
        row("SBLockScreenView", "setBottomGrabberHidden:forRequester:", Side::Instance, &setBottomGrabberHidden,
            &previousSetBottomGrabberHidden),
        row("SBLockScreenViewController", "shouldShowLockStatusBarTime", Side::Instance,
            &shouldShowLockStatusBarTime, &previousShouldShowLockStatusBarTime),
        row("SBNotificationCenterViewController", "hostWillDismiss", Side::Instance, &hostWillDismiss,
            &previousHostWillDismiss),
        row("SBNotificationCenterViewController", "hostWillPresent", Side::Instance, &hostWillPresent,
            &previousHostWillPresent),
        row("SBNotificationCenterViewController", "hostDidDismiss", Side::Instance, &hostDidDismiss,
            &previousHostDidDismiss),
    }};
    return table;
}

void installHookRows(std::size_t first, std::size_t last) {
    const auto& table = hookTable();
    for (std::size_t number = first; number <= last && number <= table.size(); ++number) {
        const HookRow& r = table[number - 1];
        Class cls = objc_getClass(r.className);
        if (r.side == Side::Class) cls = object_getClass(class_asObject(cls));
        MSHookMessageEx(cls, sel_registerName(r.selector), r.replacement, r.slot);
    }
}

}  // namespace zv::hooks
