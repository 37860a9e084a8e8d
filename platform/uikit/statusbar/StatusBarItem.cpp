#include "uikit/statusbar/StatusBarItem.h"

#include <array>
#include <optional>

#include "runtime/ClassDefinition.h"

using namespace zv::platform;

namespace {

struct TypeDefaults {
    std::int32_t type;
    StatusBarItemDefaults defaults;
};

constexpr std::int32_t L = kStatusBarRegionLeft;
constexpr std::int32_t R = kStatusBarRegionRight;
constexpr std::int32_t C = kStatusBarRegionCenter;

// Modelled on the phone's status bar: network on the left, time in the
// center, status icons and the battery on the right; the two breadcrumbs
// are exclusive.
constexpr TypeDefaults kDefaults[] = {
    {0, {C, 0, false}},   // Time
    {1, {R, 1, false}},   // QuietMode (DND)
    {2, {L, 1, false}},   // Airplane
    {3, {L, 2, false}},   // SignalStrength
    {4, {L, 3, false}},   // Carrier
    {5, {L, 4, false}},   // DataNetwork (WiFi)
    {7, {R, 15, false}},  // Battery
    {8, {R, 14, false}},  // BatteryPercent
    {9, {R, 16, false}},  // NotCharging
    {10, {R, 13, false}}, // BluetoothBattery
    {11, {R, 12, false}}, // Bluetooth
    {12, {R, 8, false}},  // TTY
    {13, {R, 4, false}},  // Alarm
    {14, {R, 9, false}},  // Plus
    {16, {R, 2, false}},  // Location
    {17, {R, 3, false}},  // RotationLock
    {19, {R, 5, false}},  // AirPlay
    {20, {R, 7, false}},  // Siri
    {21, {R, 6, false}},  // CarPlay
    {22, {L, 5, false}},  // VPN
    {23, {L, 6, false}},  // CallForward
    {24, {L, 7, false}},  // Activity
    {25, {R, 10, false}}, // ThermalColor
    {31, {L, 8, false}},  // Tethering
    {32, {L, 0, true}},   // Breadcrumb
    {33, {R, 11, true}},  // OpenInSafari
};

// The table by type, for a lookup without search: the status bar asks on
// every layout.
constexpr std::int32_t kIndexedTypes = 100;
constexpr auto kByType = [] {
    std::array<std::optional<StatusBarItemDefaults>, kIndexedTypes> table{};
    for (const auto& entry : kDefaults) table[static_cast<std::size_t>(entry.type)] = entry.defaults;
    return table;
}();

UIStatusBarItem& item(id self) { return asHostObject<UIStatusBarItem>(self); }
StatusBarItemDefaults defaultsOf(id self) { return statusBarItemDefaults(item(self).type); }

std::int32_t type(id self, SEL) { return item(self).type; }
bool isItemWithTypeExclusive(id, SEL, std::int32_t t) { return statusBarItemDefaults(t).exclusive; }
bool appearsInRegion(id self, SEL, std::int32_t region) { return defaultsOf(self).region == region; }
std::int64_t order(id self, SEL) { return defaultsOf(self).order; }
bool appearsOnLeft(id self, SEL) { return defaultsOf(self).region == L; }
bool appearsOnRight(id self, SEL) { return defaultsOf(self).region == R; }

}  // namespace

StatusBarItemDefaults statusBarItemDefaults(std::int32_t type) {
    if (type >= 0 && type < kIndexedTypes) {
        if (const auto& known = kByType[static_cast<std::size_t>(type)]) return *known;
    }
    // A type the host does not know goes to the right, after every known one.
    return StatusBarItemDefaults{R, 100 + static_cast<std::int64_t>(type), false};
}

std::unique_ptr<UIStatusBarItem> makeStatusBarItem(std::int32_t type) {
    auto object = makeObject<UIStatusBarItem>("UIStatusBarItem");
    object->type = type;
    return object;
}

void registerStatusBarItemClass() {
    Class cls = defineClass("UIStatusBarItem");
    addClassMethod(cls, "isItemWithTypeExclusive:", &isItemWithTypeExclusive);
    addMethod(cls, "type", &type);
    addMethod(cls, "appearsInRegion:", &appearsInRegion);
    addMethod(cls, "leftOrder", &order);
    addMethod(cls, "centerOrder", &order);
    addMethod(cls, "rightOrder", &order);
    addMethod(cls, "appearsOnLeft", &appearsOnLeft);
    addMethod(cls, "appearsOnRight", &appearsOnRight);
}
