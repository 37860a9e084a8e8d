// UIStatusBarItem: one item of the status bar, of an integer type, and the
// host's own ("previous") answers to the placement questions the status bar
// asks it:
//   +isItemWithTypeExclusive:(int32)   whether items of the type are exclusive
//   -appearsInRegion:(int32)           0 left, 1 right, 2 center
//   -leftOrder, -centerOrder, -rightOrder (int64)
//   -appearsOnLeft, -appearsOnRight
//   -type (int32)
// The answers come from a fixed table of defaults per type (docs/host-classes.md).
#pragma once

#include <cstdint>
#include <memory>

#include "runtime/Runtime.h"

inline constexpr std::int32_t kStatusBarRegionLeft = 0;
inline constexpr std::int32_t kStatusBarRegionRight = 1;
inline constexpr std::int32_t kStatusBarRegionCenter = 2;

// The host's default placement of an item type.
struct StatusBarItemDefaults {
    std::int32_t region = kStatusBarRegionRight;
    std::int64_t order = 0;  // ascending from the region's left end
    bool exclusive = false;  // an exclusive item takes its region alone
    std::int32_t priority = 0;  // when the bar runs out of room, lower priorities are left out first
};
StatusBarItemDefaults statusBarItemDefaults(std::int32_t type);

struct UIStatusBarItem : objc_object {
    std::int32_t type = 0;
};

// A new item of the type, of the registered class UIStatusBarItem.
std::unique_ptr<UIStatusBarItem> makeStatusBarItem(std::int32_t type);

void registerStatusBarItemClass();
