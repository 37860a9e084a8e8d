// Every method replacement of the plug-in, each with the slot that keeps the
// implementation in force before it. A replacement reads only its own slot.
#pragma once

#include "hooks/HostInterfaces.h"

namespace zv::hooks {

// Item views.
bool breadcrumbShouldLayoutImageOnRight(id self, SEL _cmd);
bool openInSafariShouldLayoutImageOnRight(id self, SEL _cmd);
std::string breadcrumbShortenedTitle(id self, SEL _cmd, std::int64_t level);
std::string openInSafariShortenedTitle(id self, SEL _cmd, std::int64_t level);
bool batteryPercentUpdateForNewData(id self, SEL _cmd, id data, std::int32_t actions);
id batteryContentsImage(id self, SEL _cmd);

extern host::BoolGetter previousBreadcrumbShouldLayoutImageOnRight;
extern host::BoolGetter previousOpenInSafariShouldLayoutImageOnRight;
extern host::TitleForLevel previousBreadcrumbShortenedTitle;
extern host::TitleForLevel previousOpenInSafariShortenedTitle;
extern host::UpdateForNewData previousBatteryPercentUpdateForNewData;
extern host::ObjectGetter previousBatteryContentsImage;

// Placement questions of UIStatusBarItem.
bool isItemWithTypeExclusive(id cls, SEL _cmd, std::int32_t type);
bool appearsInRegion(id self, SEL _cmd, std::int32_t region);
std::int64_t leftOrder(id self, SEL _cmd);
std::int64_t centerOrder(id self, SEL _cmd);
std::int64_t rightOrder(id self, SEL _cmd);
bool appearsOnLeft(id self, SEL _cmd);
bool appearsOnRight(id self, SEL _cmd);

extern host::IsTypeExclusive previousIsItemWithTypeExclusive;
extern host::AppearsInRegion previousAppearsInRegion;
extern host::IntegerGetter previousLeftOrder;
extern host::IntegerGetter previousCenterOrder;
extern host::IntegerGetter previousRightOrder;
extern host::BoolGetter previousAppearsOnLeft;
extern host::BoolGetter previousAppearsOnRight;

// SpringBoard: lock screen and notification centre.
void setTopGrabberHidden(id self, SEL _cmd, bool hidden, id requester);
void setBottomGrabberHidden(id self, SEL _cmd, bool hidden, id requester);
bool shouldShowLockStatusBarTime(id self, SEL _cmd);
void hostWillDismiss(id self, SEL _cmd);
void hostWillPresent(id self, SEL _cmd);
void hostDidDismiss(id self, SEL _cmd);

extern host::SetGrabberHidden previousSetTopGrabberHidden;
extern host::SetGrabberHidden previousSetBottomGrabberHidden;
extern host::BoolGetter previousShouldShowLockStatusBarTime;
extern host::Action previousHostWillDismiss;
extern host::Action previousHostWillPresent;
extern host::Action previousHostDidDismiss;

}  // namespace zv::hooks
