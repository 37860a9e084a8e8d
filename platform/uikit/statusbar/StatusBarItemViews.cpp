#include "uikit/statusbar/StatusBarItemViews.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "runtime/ClassDefinition.h"
#include "uikit/statusbar/StatusBarData.h"

using namespace zv::platform;

namespace {

std::string destinationText(id self, SEL) { return asHostObject<UIStatusBarBreadcrumbItemView>(self).destinationText; }

bool imageOnLeft(id, SEL) { return false; }
bool imageOnRight(id, SEL) { return true; }

std::string title(id self, std::int64_t level, std::string_view longPrefix, std::string_view shortest) {
    const std::string& destination = asHostObject<UIStatusBarBreadcrumbItemView>(self).destinationText;
    if (level <= 0) return std::string(longPrefix) + destination;
    if (level == 1) return destination;
    return std::string(shortest);
}

std::string breadcrumbTitle(id self, SEL, std::int64_t level) { return title(self, level, "Back to ", "Back"); }
std::string openInSafariTitle(id self, SEL, std::int64_t level) { return title(self, level, "Open in ", "Open"); }

bool updateForNewData(id self, SEL, id data, std::int32_t) {
    const void* raw = objc_msgSend<const void*>(data, sel_registerName("rawData"));
    if (!raw) return false;
    std::int32_t capacity = 0;
    std::memcpy(&capacity, static_cast<const std::uint8_t*>(raw) + kBatteryCapacityOffset, sizeof capacity);
    std::string text = std::to_string(capacity) + "%";
    auto& view = asHostObject<UIStatusBarBatteryPercentItemView>(self);
    if (text == view.percentText) return false;
    view.percentText = std::move(text);
    return true;
}

id contentsImage(id self, SEL) {
    auto& view = asHostObject<UIStatusBarBatteryItemView>(self);
    if (!view.imageSet) return nullptr;
    UIGraphicsBeginImageContextWithOptions(CGSize{kBatteryGlyphWidth, kBatteryGlyphHeight}, false, 2.0);
    CGContextRef context = UIGraphicsGetCurrentContext();
    CGContextSetFillColorWithColor(context, UIColorGetCGColor(UIColor::blackColor()));
    // The body's outline, the terminal, and the charge inside.
    const double body = kBatteryGlyphWidth - 2.5;
    CGContextFillRect(context, CGRectMake(0, 0, body, 1));
    CGContextFillRect(context, CGRectMake(0, kBatteryGlyphHeight - 1, body, 1));
    CGContextFillRect(context, CGRectMake(0, 0, 1, kBatteryGlyphHeight));
    CGContextFillRect(context, CGRectMake(body - 1, 0, 1, kBatteryGlyphHeight));
    CGContextFillRect(context, CGRectMake(body, 3.5, 1.5, 4.5));
    const double charge = (body - 4) * std::clamp(view.capacity, 0, 100) / 100.0;
    CGContextFillRect(context, CGRectMake(2, 2, charge, kBatteryGlyphHeight - 4));
    id image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    objc_msgSend(view.imageSet.get(), sel_registerName("setImage:"), image);
    return view.imageSet.get();
}

std::unique_ptr<UIStatusBarBreadcrumbItemView> makeBreadcrumb(const char* className, const char* destination) {
    auto view = makeObject<UIStatusBarBreadcrumbItemView>(className);
    view->destinationText = destination;
    return view;
}

}  // namespace

StatusBarItemViews StatusBarItemViews::make() {
    StatusBarItemViews views;
    views.breadcrumb = makeBreadcrumb("UIStatusBarBreadcrumbItemView", "Mail");
    views.openInSafari = makeBreadcrumb("UIStatusBarOpenInSafariItemView", "Safari");
    views.batteryPercent = makeObject<UIStatusBarBatteryPercentItemView>("UIStatusBarBatteryPercentItemView");
    views.battery = makeObject<UIStatusBarBatteryItemView>("UIStatusBarBatteryItemView");
    views.battery->imageSet = makeObject<UILegibilityImageSet>("_UILegibilityImageSet");
    return views;
}

void registerStatusBarItemViewClasses() {
    Class itemView = defineClass("UIStatusBarItemView");
    Class breadcrumb = defineClass("UIStatusBarBreadcrumbItemView", itemView);
    addMethod(breadcrumb, "destinationText", &destinationText);
    addMethod(breadcrumb, "_shouldLayoutImageOnRight", &imageOnLeft);
    addMethod(breadcrumb, "shortenedTitleWithCompressionLevel:", &breadcrumbTitle);
    Class openInSafari = defineClass("UIStatusBarOpenInSafariItemView", itemView);
    addMethod(openInSafari, "destinationText", &destinationText);
    addMethod(openInSafari, "_shouldLayoutImageOnRight", &imageOnRight);
    addMethod(openInSafari, "shortenedTitleWithCompressionLevel:", &openInSafariTitle);
    addMethod(defineClass("UIStatusBarBatteryPercentItemView", itemView), "updateForNewData:actions:",
              &updateForNewData);
    addMethod(defineClass("UIStatusBarBatteryItemView", itemView), "contentsImage", &contentsImage);
}
