#include "PlacementRules.h"

#include "PlacementLookup.h"
#include "Region.h"

namespace zv::rules {

namespace {

constexpr std::int32_t kLeft = static_cast<std::int32_t>(Region::Left);
constexpr std::int32_t kRight = static_cast<std::int32_t>(Region::Right);
constexpr std::int32_t kCenter = static_cast<std::int32_t>(Region::Center);
constexpr std::int32_t kHidden = static_cast<std::int32_t>(Region::Hidden);
constexpr std::int32_t kDefault = static_cast<std::int32_t>(Region::Default);

using Bool = RuleAnswer<bool>;

// The entry of the item type while the placement is in force; null when the
// plug-in is off, there is no table, or the type has no entry.
const PlacementEntry* entryInForce(const PluginSettings& settings, std::int32_t type) {
    if (!settings.enabled || !settings.placement) return nullptr;
    return placementEntryFor(*settings.placement, type);
}

bool placementInForce(const PluginSettings& settings) { return settings.enabled && settings.placement.has_value(); }

// Rows 10 to 13: the placement alone.
Bool placementAnswer(const PlacementEntry* entry, std::int32_t region) {
    if (!entry) return Bool::previous();
    if (entry->alignment == region) return Bool::answer(true);
    if (entry->alignment == kDefault) return Bool::previous();
    return Bool::answer(false);
}

// The Time item on the locked screen, rows 2 and 3. Empty when the rows do
// not apply and the question goes on to the following rows.
std::optional<Bool> lockedTimeRule(const PluginSettings& settings, const PlacementEntry* entry,
                                   const RuntimeFlags& flags, const LiveHostState& live) {
    if (settings.enableLockScreenTime) return std::nullopt;
    if (!live.isScreenLocked()) return std::nullopt;
    if (flags.notificationCenterPresented) return std::nullopt;
    return alignmentOrLeft(entry) == kDefault ? Bool::previous() : Bool::answer(false);
}

// The Bluetooth item under `bluetoothConnectedOnly`, rows 4 to 8; it always
// decides.
Bool connectedOnlyBluetoothRule(const PlacementEntry* entry, std::int32_t region, const LiveHostState& live) {
    const std::int32_t alignment = alignmentOrLeft(entry);
    if (alignment == kHidden) return Bool::answer(false);
    if (!live.isBluetoothDeviceConnected()) return Bool::answer(false);
    if (alignment == region) return Bool::answer(true);
    if (alignment == kDefault) return Bool::previous();
    return Bool::answer(false);
}

// Rows 2 to 13 for the three item types with rules of their own (Time,
// Bluetooth, Battery). Kept apart from the common path, which every other
// item takes on every layout.
[[gnu::noinline]] Bool specialItemAnswer(const PluginSettings& settings, std::int32_t type, std::int32_t region,
                                         const PlacementEntry* entry, const RuntimeFlags& flags,
                                         const LiveHostState& live) {
    if (type == kTimeItem) {
        if (auto answer = lockedTimeRule(settings, entry, flags, live)) return *answer;
    }
    if (type == kBluetoothItem && settings.bluetoothConnectedOnly) return connectedOnlyBluetoothRule(entry, region, live);
    if (type == kBatteryItem && settings.hideBattery && flags.lastBatteryState == 0) return Bool::answer(false);
    return placementAnswer(entry, region);
}

}  // namespace

RuleAnswer<bool> isItemWithTypeExclusive(const PluginSettings& settings, std::int32_t type) {
    if ((type == kBreadcrumbItem || type == kOpenInSafariItem) && settings.enabled && !settings.isBreadcrumbExclusive)
        return Bool::answer(false);
    return Bool::previous();
}

RuleAnswer<bool> appearsInRegion(const PluginSettings& settings, std::int32_t type, std::int32_t region,
                                 const RuntimeFlags& flags, const LiveHostState& live) {
    if (!placementInForce(settings)) return Bool::previous();
    const PlacementEntry* entry = placementEntryFor(*settings.placement, type);
    if (type == kTimeItem || type == kBluetoothItem || type == kBatteryItem)
        return specialItemAnswer(settings, type, region, entry, flags, live);
    return placementAnswer(entry, region);
}

RuleAnswer<std::int64_t> order(const PluginSettings& settings, std::int32_t type, OrderQuestion question) {
    const std::int32_t selecting = question == OrderQuestion::Left     ? kLeft
                                   : question == OrderQuestion::Center ? kCenter
                                                                       : kRight;
    const PlacementEntry* entry = entryInForce(settings, type);
    if (entry && entry->alignment == selecting) return RuleAnswer<std::int64_t>::answer(entry->idx);
    return RuleAnswer<std::int64_t>::previous();
}

RuleAnswer<bool> appearsOnSide(const PluginSettings& settings, std::int32_t type, SideQuestion question) {
    const PlacementEntry* entry = entryInForce(settings, type);
    if (!entry || entry->alignment == kDefault) return Bool::previous();
    const std::int32_t side = question == SideQuestion::Left ? kLeft : kRight;
    return Bool::answer(entry->alignment == side);
}

}  // namespace zv::rules
