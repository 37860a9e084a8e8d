// The status-bar item views whose methods an injected library may replace,
// with the host's own behaviour:
//
// UIStatusBarBreadcrumbItemView ("◀ Back to <destination>") and
// UIStatusBarOpenInSafariItemView ("Open in <destination> ↗"):
//   -destinationText                          the destination's name
//   -_shouldLayoutImageOnRight                NO for the breadcrumb (its arrow
//                                             leads), YES for OpenInSafari
//   -shortenedTitleWithCompressionLevel:(int64)
//        level 0 and below: the long title ("Back to Mail", "Open in Safari");
//        level 1: the destination text; level 2 and above: "Back" / "Open".
// UIStatusBarBatteryPercentItemView:
//   -updateForNewData:(id)actions:(int32)    takes the capacity from the data's
//        raw record and shows it as "NN%"; answers whether the text changed.
// UIStatusBarBatteryItemView:
//   -contentsImage                            draws the battery glyph (25 × 11.5
//        points at scale 2, filled to the capacity) into the view's image set
//        and answers that set (_UILegibilityImageSet).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "runtime/Runtime.h"
#include "uikit/UIGraphics.h"

struct UIStatusBarBreadcrumbItemView : objc_object {
    std::string destinationText;
};

struct UIStatusBarBatteryPercentItemView : objc_object {
    std::string percentText;
};

struct UIStatusBarBatteryItemView : objc_object {
    std::int32_t capacity = 100;
    std::unique_ptr<UILegibilityImageSet> imageSet;
};

inline constexpr double kBatteryGlyphWidth = 25.0;
inline constexpr double kBatteryGlyphHeight = 11.5;

// The four views a status bar keeps, one of each kind, created with their
// registered classes.
struct StatusBarItemViews {
    std::unique_ptr<UIStatusBarBreadcrumbItemView> breadcrumb;
    std::unique_ptr<UIStatusBarBreadcrumbItemView> openInSafari;
    std::unique_ptr<UIStatusBarBatteryPercentItemView> batteryPercent;
    std::unique_ptr<UIStatusBarBatteryItemView> battery;

    static StatusBarItemViews make();
};

void registerStatusBarItemViewClasses();
