#include "LayoutEvent.h"

#include <memory>

#include <nlohmann/json.hpp>

#include "ItemSpokenName.h"
#include "bluetooth/BluetoothManager.h"
#include "control/ActivityEvents.h"
#include "control/DeviceWords.h"
#include "runtime/Runtime.h"
#include "springboard/SpringBoardClasses.h"
#include "uikit/UIApplication.h"

namespace zv::device {

using control::ControlError;
using control::Json;

namespace {

Json placements(const std::vector<StatusBarPlacement>& region) {
    Json types = Json::array();
    for (const auto& p : region) types.push_back(p.type);
    return types;
}

Json placementDetails(const std::vector<StatusBarPlacement>& region) {
    Json list = Json::array();
    for (const auto& p : region)
        list.push_back({{"type", p.type},
                        {"order", p.order},
                        {"appearsOnLeft", p.appearsOnLeft},
                        {"appearsOnRight", p.appearsOnRight},
                        {"exclusive", p.exclusive}});
    return list;
}

Json frameList(const std::vector<zv::ItemFrame>& region) {
    Json list = Json::array();
    for (const auto& frame : region) list.push_back({{"type", frame.type}, {"x", frame.x}, {"width", frame.width}});
    return list;
}

// The spoken names of a region's item types, in the same order.
Json spokenNames(const Json& types, int batteryCapacity) {
    Json names = Json::array();
    for (const Json& type : types) names.push_back(itemSpokenName(type.get<int>(), batteryCapacity));
    return names;
}

// The spoken names of what a region shows: its drawn frames, in order. An
// item left out, or drawn with no width (Bluetooth while it is absent or
// off), is not said to be there.
Json shownNames(const Json& frames, int batteryCapacity) {
    Json names = Json::array();
    for (const Json& frame : frames)
        if (frame["width"].get<double>() > 0) names.push_back(itemSpokenName(frame["type"].get<int>(), batteryCapacity));
    return names;
}

}  // namespace

Json statusBarLayout(bool detail) {
    UIApplication* application = sharedApplicationObject();
    if (!application || !application->statusBar) throw ControlError("this process has no status bar");
    const UIStatusBar& bar = *application->statusBar;
    const StatusBarLayout layout = bar.layout();
    Json fields{{"left", placements(layout.left)},
                {"center", placements(layout.center)},
                {"right", placements(layout.right)},
                {"onlyCenter", bar.showsOnlyCenterItems()}};
    const zv::FittedStatusBar frames = bar.frames();
    fields["width"] = static_cast<int>(bar.width());
    fields["frames"] = {{"left", frameList(frames.left)},
                        {"center", frameList(frames.center)},
                        {"right", frameList(frames.right)}};
    fields["leftOut"] = frames.leftOut;
    if (detail)
        fields["detail"] = {{"left", placementDetails(layout.left)},
                            {"center", placementDetails(layout.center)},
                            {"right", placementDetails(layout.right)}};
    return fields;
}

Json layoutEvent(const HostContext& context) {
    Json event = statusBarLayout(false);
    event["event"] = "layout";
    event["t"] = control::eventTime();
    UIApplication* application = sharedApplicationObject();
    const int capacity = application->statusBar->views().battery->capacity;
    const char* charge = control::chargeWord(context.batteryState);
    event["battery"] = {{"capacity", capacity},
                        {"state", context.batteryState},
                        {"charger", control::chargerWord(context.batteryState)},
                        {"charge", charge ? Json(charge) : Json()}};
    event["names"] = {{"left", shownNames(event["frames"]["left"], capacity)},
                      {"center", shownNames(event["frames"]["center"], capacity)},
                      {"right", shownNames(event["frames"]["right"], capacity)},
                      {"leftOut", spokenNames(event["leftOut"], capacity)}};
    event["bluetooth"] = bluetoothWordNow();
    if (context.isSpringBoard) {
        const SBLockScreenView* view = lockScreenView();
        const SBNotificationCenterViewController* centre = notificationCenterViewController();
        event["locked"] = lockScreenManager() && lockScreenManager()->locked;
        event["grabbers"] = {{"top", {{"hidden", view && view->top.hidden}}},
                             {"bottom", {{"hidden", view && view->bottom.hidden}}}};
        event["notificationCenter"] = {{"presented", centre && centre->presented}};
    }
    return event;
}

const char* bluetoothWordNow() {
    return control::bluetoothWord(objc_getClass("BluetoothManager") ? bluetoothManager().state : BluetoothState::Absent);
}

void writeLayoutEvent(const HostContext& context) { control::ControlChannel::writeLine(layoutEvent(context)); }

void announceLayout(HostContext& context) {
    if (!context.layoutAnnouncement)
        context.layoutAnnouncement = std::make_unique<MainQueueTask>([&context] { writeLayoutEvent(context); });
    context.layoutAnnouncement->schedule();
}

}  // namespace zv::device
