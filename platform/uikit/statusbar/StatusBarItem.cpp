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
// are exclusive. Priorities: the time, battery, breadcrumbs and the network
// are the last to go when room runs short; the carrier's name and the
// passing status icons the first.
constexpr TypeDefaults kDefaults[] = {
    {0, {C, 0, false, 100}},   // Time
    {1, {R, 1, false, 60}},   // QuietMode (DND)
    {2, {L, 1, false, 90}},   // Airplane
    {3, {L, 2, false, 85}},   // SignalStrength
    {4, {L, 3, false, 40}},   // Carrier
    {5, {L, 4, false, 80}},   // DataNetwork (WiFi)
    {7, {R, 15, false, 95}},  // Battery
    {8, {R, 14, false, 65}},  // BatteryPercent
    {9, {R, 16, false, 50}},  // NotCharging
    {10, {R, 13, false, 45}}, // BluetoothBattery
    {11, {R, 12, false, 55}}, // Bluetooth
    {12, {R, 8, false, 25}},  // TTY
    {13, {R, 4, false, 35}},  // Alarm
    {14, {R, 9, false, 15}},  // Plus
    {16, {R, 2, false, 50}},  // Location
    {17, {R, 3, false, 30}},  // RotationLock
    {19, {R, 5, false, 30}},  // AirPlay
    {20, {R, 7, false, 20}},  // Siri
    {21, {R, 6, false, 30}},  // CarPlay
    {22, {L, 5, false, 70}},  // VPN
    {23, {L, 6, false, 25}},  // CallForward
    {24, {L, 7, false, 20}},  // Activity
    {25, {R, 10, false, 75}}, // ThermalColor
    {31, {L, 8, false, 50}},  // Tethering
    {32, {L, 0, true, 90}},   // Breadcrumb
    {33, {R, 11, true, 90}},  // OpenInSafari
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
    return StatusBarItemDefaults{R, 100 + static_cast<std::int64_t>(type), false, 0};
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
