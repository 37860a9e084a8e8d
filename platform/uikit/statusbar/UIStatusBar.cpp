#include "uikit/statusbar/UIStatusBar.h"

#include <algorithm>
#include <chrono>

#include "StatusBarPicture.h"
#include "bluetooth/BluetoothManager.h"
#include "foundation/DateFormatter.h"
#include "runtime/ClassDefinition.h"
#include "uikit/HostTrace.h"

using namespace zv::platform;

namespace {

constexpr std::int32_t kBluetoothItemType = 11;

struct Selectors {
    SEL appearsInRegion = sel_registerName("appearsInRegion:");
    SEL leftOrder = sel_registerName("leftOrder");
    SEL rightOrder = sel_registerName("rightOrder");
    SEL centerOrder = sel_registerName("centerOrder");
    SEL appearsOnLeft = sel_registerName("appearsOnLeft");
    SEL appearsOnRight = sel_registerName("appearsOnRight");
    SEL isItemWithTypeExclusive = sel_registerName("isItemWithTypeExclusive:");
};

const Selectors& selectors() {
    static const Selectors s;
    return s;
}

void setShowsOnlyCenterItems(id self, SEL cmd, bool onlyCenter) {
    recordHostCall(self, cmd, {TraceArgument::boolean(onlyCenter)});
    auto& bar = asHostObject<UIStatusBar>(self);
    bar.setShowsOnlyCenterItems(onlyCenter);
    if (auto after = std::move(bar.onceAfterShowsOnlyCenterItems)) {
        bar.onceAfterShowsOnlyCenterItems = nullptr;
        after(onlyCenter);
    }
}

}  // namespace

std::vector<std::int32_t> defaultStatusBarItemTypes() { return {0, 3, 4, 5, 7, 8, 11, 13, 16}; }

std::unique_ptr<UIStatusBar> UIStatusBar::make(std::vector<std::int32_t> itemTypes) {
    auto bar = makeObject<UIStatusBar>("UIStatusBar");
    bar->views_ = StatusBarItemViews::make();
    bar->setItemTypes(std::move(itemTypes));
    return bar;
}

void UIStatusBar::setItemTypes(std::vector<std::int32_t> itemTypes) {
    itemTypes_ = std::move(itemTypes);
    dataFor_ = std::unordered_set<std::int32_t>(itemTypes_.begin(), itemTypes_.end());
    built_.clear();
    for (std::int32_t type : itemTypes_)
        if (!isItemBuilt(type)) rebuildItem(type);  // a type listed twice is built once
}

bool UIStatusBar::hasDataFor(std::int32_t type) const { return dataFor_.count(type) != 0; }

void UIStatusBar::withdrawItem(std::int32_t type) {
    if (built_.erase(type)) didLayOut();
}

void UIStatusBar::rebuildItem(std::int32_t type) {
    if (!hasDataFor(type)) {
        withdrawItem(type);
        return;
    }
    BuiltItem built{makeStatusBarItem(type), {}};
    built.answers = ask(*built.item);
    built_.insert_or_assign(type, std::move(built));
    didLayOut();
}

void UIStatusBar::layOutAllItems() {
    for (auto& [type, built] : built_) built.answers = ask(*built.item);
    didLayOut();
}

void UIStatusBar::setShowsOnlyCenterItems(bool onlyCenter) {
    onlyCenter_ = onlyCenter;
    layOutAllItems();
}

UIStatusBar::Answers UIStatusBar::ask(UIStatusBarItem& item) {
    const Selectors& s = selectors();
    Answers a;
    for (std::int32_t region : {kStatusBarRegionLeft, kStatusBarRegionRight, kStatusBarRegionCenter})
        a.inRegion[region] = objc_msgSend<bool>(&item, s.appearsInRegion, region);
    if (a.inRegion[kStatusBarRegionLeft]) a.order[kStatusBarRegionLeft] = objc_msgSend<std::int64_t>(&item, s.leftOrder);
    if (a.inRegion[kStatusBarRegionRight])
        a.order[kStatusBarRegionRight] = objc_msgSend<std::int64_t>(&item, s.rightOrder);
    if (a.inRegion[kStatusBarRegionCenter])
        a.order[kStatusBarRegionCenter] = objc_msgSend<std::int64_t>(&item, s.centerOrder);
    a.appearsOnLeft = objc_msgSend<bool>(&item, s.appearsOnLeft);
    a.appearsOnRight = objc_msgSend<bool>(&item, s.appearsOnRight);
    a.exclusive = objc_msgSend<bool>(class_asObject(object_getClass(&item)), s.isItemWithTypeExclusive, item.type);
    return a;
}

StatusBarLayout UIStatusBar::layout() const {
    StatusBarLayout result;
    const auto arrange = [this](std::int32_t region, std::vector<StatusBarPlacement>& out) {
        if (onlyCenter_ && region != kStatusBarRegionCenter) return;
        bool anyExclusive = false;
        for (const auto& [type, built] : built_) {
            const Answers& a = built.answers;
            if (!a.inRegion[region]) continue;
            out.push_back({type, a.order[region], a.appearsOnLeft, a.appearsOnRight, a.exclusive});
            anyExclusive = anyExclusive || a.exclusive;
        }
        if (anyExclusive) std::erase_if(out, [](const StatusBarPlacement& p) { return !p.exclusive; });
        // The map iterates by type, so a stable sort leaves ties by type.
        std::stable_sort(out.begin(), out.end(),
                         [](const StatusBarPlacement& x, const StatusBarPlacement& y) { return x.order < y.order; });
    };
    arrange(kStatusBarRegionLeft, result.left);
    arrange(kStatusBarRegionCenter, result.center);
    arrange(kStatusBarRegionRight, result.right);
    return result;
}

void UIStatusBar::setWidth(double points) {
    width_ = points;
    didLayOut();
}

zv::FittedStatusBar UIStatusBar::frames() const {
    // The glyphs as the picture draws them for this bar's data. The time
    // takes the room of the widest the clock shows in this locale.
    static const std::string widestTime = [] {
        NSDateFormatter formatter;
        formatter.setTimeStyle(NSDateFormatterStyle::ShortStyle);
        formatter.setTimeZone("UTC");
        const std::string text = formatter.stringFromDate(std::chrono::system_clock::time_point{} + std::chrono::minutes(22 * 60 + 58));
        return text.empty() ? std::string("22:58") : text;
    }();
    zv::StatusBarPicture drawn;
    drawn.timeText = widestTime;
    drawn.batteryLevel = views_.battery ? views_.battery->capacity : 100;
    // As on the phone, the Bluetooth glyph shows only while Bluetooth is on;
    // while it is absent or off the item takes no room and draws nothing.
    const bool bluetoothOn = objc_getClass("BluetoothManager") &&
                             (bluetoothManager().state == BluetoothState::On ||
                              bluetoothManager().state == BluetoothState::Connected);
    const auto measured = [&](const std::vector<StatusBarPlacement>& region) {
        std::vector<zv::FitItem> items;
        for (const StatusBarPlacement& p : region) {
            const bool hidden = p.type == kBluetoothItemType && !bluetoothOn;
            items.push_back({p.type, hidden ? 0 : zv::itemWidth(p.type, drawn), statusBarItemDefaults(p.type).priority});
        }
        return items;
    };
    const StatusBarLayout arranged = layout();
    return zv::fitStatusBar(measured(arranged.left), measured(arranged.center), measured(arranged.right), width_);
}

void registerStatusBarClass() {
    addMethod(defineClass("UIStatusBar"), "setShowsOnlyCenterItems:", &setShowsOnlyCenterItems);
}
