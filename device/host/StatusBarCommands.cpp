#include "StatusBarCommands.h"

#include "LayoutEvent.h"

#include <dlfcn.h>

#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>

#include "bluetooth/BluetoothManager.h"
#include "control/DeviceWords.h"
#include "foundation/DeviceFiles.h"
#include "foundation/MainQueue.h"
#include "notifications/NotificationCenter.h"
#include "runtime/ClassDefinition.h"
#include "uikit/HostTrace.h"
#include "uikit/statusbar/StatusBarData.h"
#include "uikit/UIApplication.h"

namespace zv::device {

using control::argBool;
using control::argInt;
using control::argString;
using control::ControlChannel;
using control::ControlError;
using control::Json;

namespace {

std::int32_t argInt32(const Json& request, const char* key) {
    const long long value = argInt(request, key);
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        throw ControlError(std::string("argument \"") + key + "\" must be a 32-bit integer");
    return static_cast<std::int32_t>(value);
}

UIStatusBar& statusBar() {
    UIApplication* application = sharedApplicationObject();
    if (!application || !application->statusBar) throw ControlError("this process has no status bar");
    return *application->statusBar;
}

// The seven placement questions, sent through the runtime to a new item of
// the type (or, for the exclusivity question, to its class).
Json askReply(const Json& request) {
    const std::string question = argString(request, "question");
    const std::int32_t type = argInt32(request, "type");
    auto item = makeStatusBarItem(type);
    const SEL sel = sel_registerName(question.c_str());
    if (question == "isItemWithTypeExclusive:")
        return {{"answer", objc_msgSendClass<bool>(objc_getClass("UIStatusBarItem"), sel, type)}};
    if (question == "appearsInRegion:")
        return {{"answer", objc_msgSend<bool>(item.get(), sel, argInt32(request, "region"))}};
    if (question == "leftOrder" || question == "centerOrder" || question == "rightOrder")
        return {{"answer", objc_msgSend<std::int64_t>(item.get(), sel)}};
    if (question == "appearsOnLeft" || question == "appearsOnRight")
        return {{"answer", objc_msgSend<bool>(item.get(), sel)}};
    throw ControlError("unknown question: " + question);
}

std::vector<std::int32_t> typesArgument(const Json& request) {
    auto it = request.find("types");
    if (!it->is_array()) throw ControlError("argument \"types\" must be an array of integers");
    std::vector<std::int32_t> types;
    for (const Json& value : *it) {
        if (!value.is_number_integer()) throw ControlError("argument \"types\" must be an array of integers");
        const long long type = value.get<long long>();
        if (type < std::numeric_limits<std::int32_t>::min() || type > std::numeric_limits<std::int32_t>::max())
            throw ControlError("argument \"types\" must hold 32-bit integers");
        types.push_back(static_cast<std::int32_t>(type));
    }
    return types;
}

BluetoothState bluetoothStateArgument(const Json& request) {
    if (auto state = control::bluetoothStateNamed(argString(request, "state"))) return *state;
    std::string words;
    for (std::size_t i = 0; i < std::size(control::kBluetoothStates); ++i) {
        if (i > 0) words += i + 1 < std::size(control::kBluetoothStates) ? ", " : " or ";
        words += std::string("\"") + control::bluetoothWord(control::kBluetoothStates[i]) + "\"";
    }
    throw ControlError("argument \"state\" must be " + words);
}

UIStatusBarBreadcrumbItemView& breadcrumbView(const Json& request) {
    const std::string view = argString(request, "view");
    StatusBarItemViews& views = statusBar().views();
    if (view == "breadcrumb") return *views.breadcrumb;
    if (view == "openInSafari") return *views.openInSafari;
    throw ControlError("argument \"view\" must be \"breadcrumb\" or \"openInSafari\"");
}

// The plug-in's exported symbols, found in the libraries this host loaded.
void* exportedSymbol(const HostContext& context, const char* name) {
    for (const std::string& path : context.injection.loaded) {
        void* handle = ::dlopen(resolveDevicePath(path).c_str(), RTLD_NOW | RTLD_NOLOAD);
        if (!handle) continue;
        void* symbol = ::dlsym(handle, name);
        ::dlclose(handle);  // only drops the reference NOLOAD took
        if (symbol) return symbol;
    }
    return nullptr;
}

using ReloadFunction = void (*)(CFNotificationCenterRef, void*, CFStringRef, const void*, CFDictionaryRef);

// Calls the exported reloadStatusBar. With "nested", the status bar calls it
// once more from inside the first setShowsOnlyCenterItems: of that reload,
// and the reply tells what the inner call found and recorded.
Json reloadReply(const Json& request, const HostContext& context) {
    auto reload = reinterpret_cast<ReloadFunction>(exportedSymbol(context, "reloadStatusBar"));
    auto* isReloading = static_cast<const unsigned char*>(exportedSymbol(context, "isReloading"));
    if (!reload || !isReloading) throw ControlError("no loaded library exports reloadStatusBar and isReloading");
    const bool nested = request.contains("nested") && argBool(request, "nested");
    Json inner = nullptr;
    UIStatusBar* bar = nullptr;
    if (nested) {
        bar = &statusBar();
        bar->onceAfterShowsOnlyCenterItems = [&](bool) {
            const std::size_t before = platform::hostTrace().size();
            inner = {{"isReloading", *isReloading}};
            reload(nullptr, nullptr, nullptr, nullptr, nullptr);
            inner["traceEntries"] = platform::hostTrace().size() - before;
        };
    }
    const std::size_t before = platform::hostTrace().size();
    reload(nullptr, nullptr, nullptr, nullptr, nullptr);
    if (bar) bar->onceAfterShowsOnlyCenterItems = nullptr;
    Json reply{{"traceEntries", platform::hostTrace().size() - before}, {"isReloading", *isReloading}};
    if (nested) reply["nested"] = inner;
    return reply;
}

}  // namespace

void registerStatusBarCommands(ControlChannel& channel, HostContext& context) {
    // {"cmd":"layout","detail":false,"event":false}: with "event", every
    // field of the layout event too (the battery, Bluetooth, the lock screen).
    channel.on("layout", [&context](const Json& request) {
        Json fields = statusBarLayout(request.contains("detail") && argBool(request, "detail"));
        if (request.contains("event") && argBool(request, "event")) {
            Json event = layoutEvent(context);
            event.erase("event");
            event.erase("t");
            fields.update(event);
        }
        return fields;
    });

    // {"cmd":"items"} reports, {"cmd":"items","types":[...]} replaces the
    // item types the host has data for (every item is built anew).
    channel.on("items", [](const Json& request) {
        UIStatusBar& bar = statusBar();
        if (request.contains("types")) bar.setItemTypes(typesArgument(request));
        return Json{{"types", bar.itemTypes()}};
    });

    // {"cmd":"ask","question":"appearsInRegion:","type":11,"region":0}
    channel.on("ask", [](const Json& request) { return askReply(request); });

    // {"cmd":"bluetooth","state":"connected"}: the Bluetooth framework is
    // loaded (its class registered) on first use, the state set, and the
    // Bluetooth item rebuilt. Without "state" it only reports.
    channel.on("bluetooth", [](const Json& request) {
        const bool loaded = objc_getClass("BluetoothManager") != nullptr;
        if (!request.contains("state"))
            return Json{{"loaded", loaded}, {"state", bluetoothWordNow()}};
        const BluetoothState state = bluetoothStateArgument(request);
        registerBluetoothClasses();
        bluetoothManager().state = state;
        statusBar().rebuildItem(11);
        return Json{{"loaded", true}, {"state", control::bluetoothWord(state)}};
    });

    // {"cmd":"width","points":375}: the phone's width; the bar lays out anew
    // and fits its items to it. Without "points" it only reports.
    channel.on("width", [](const Json& request) {
        UIStatusBar& bar = statusBar();
        if (request.contains("points")) {
            const long long points = argInt(request, "points");
            if (!control::isPhoneWidth(points))
                throw ControlError("argument \"points\" must be 320, 375 or 414");
            bar.setWidth(static_cast<double>(points));
        }
        return Json{{"points", static_cast<int>(bar.width())}};
    });

    // {"cmd":"battery","state":1,"capacity":80}: new status-bar data, sent to
    // the battery-percentage view with updateForNewData:actions:.
    channel.on("battery", [&context](const Json& request) {
        const std::int32_t state = argInt32(request, "state");
        const std::int32_t capacity = request.contains("capacity") ? argInt32(request, "capacity") : 100;
        auto data = platform::makeObject<UIStatusBarComposedData>("UIStatusBarComposedData");
        data->raw.writeInt32(kBatteryStateOffset, state);
        data->raw.writeInt32(kBatteryCapacityOffset, capacity);
        StatusBarItemViews& views = statusBar().views();
        views.battery->capacity = capacity;
        context.batteryState = state;
        announceLayout(context);
        const bool changed = objc_msgSend<bool>(views.batteryPercent.get(), sel_registerName("updateForNewData:actions:"),
                                                static_cast<id>(data.get()), std::int32_t{0});
        return Json{{"changed", changed}, {"text", views.batteryPercent->percentText}};
    });

    // {"cmd":"charger"}: the system's power-source notification, posted to
    // every process on the device's bus.
    channel.on("charger", [](const Json&) {
        CFNotificationCenterPostNotification(CFNotificationCenterGetDarwinNotifyCenter(),
                                             "com.apple.springboard.pluggedin", nullptr, nullptr, true);
        return Json::object();
    });

    // {"cmd":"breadcrumb","view":"breadcrumb","level":1,"destination":"Mail"}
    channel.on("breadcrumb", [](const Json& request) {
        UIStatusBarBreadcrumbItemView& view = breadcrumbView(request);
        if (request.contains("destination")) view.destinationText = argString(request, "destination");
        const std::int64_t level = request.contains("level") ? argInt(request, "level") : 0;
        return Json{
            {"imageOnRight", objc_msgSend<bool>(&view, sel_registerName("_shouldLayoutImageOnRight"))},
            {"title", objc_msgSend<std::string>(&view, sel_registerName("shortenedTitleWithCompressionLevel:"), level)},
            {"destination", view.destinationText}};
    });

    // {"cmd":"batteryImage"}: the battery view's contentsImage.
    channel.on("batteryImage", [](const Json&) {
        UIStatusBarBatteryItemView& view = *statusBar().views().battery;
        id set = objc_msgSend<id>(&view, sel_registerName("contentsImage"));
        if (!set) return Json{{"imageSet", false}};
        const auto& image = platform::asHostObject<UILegibilityImageSet>(set).image;
        if (!image) return Json{{"imageSet", true}, {"image", false}};
        return Json{{"imageSet", true},
                    {"image", true},
                    {"width", image->size.width},
                    {"height", image->size.height},
                    {"scale", image->scale},
                    {"pixelWidth", image->pixelWidth},
                    {"pixelHeight", image->pixelHeight},
                    {"transparent", image->isFullyTransparent()}};
    });

    // {"cmd":"trace","clear":false}
    channel.on("trace", [](const Json& request) {
        Json entries = Json::array();
        for (const auto& entry : platform::hostTrace()) entries.push_back(entry.text());
        Json reply{{"trace", entries}, {"dropped", platform::hostTraceDropped()}};
        if (request.contains("clear") && argBool(request, "clear")) platform::clearHostTrace();
        return reply;
    });
    channel.on("clearTrace", [](const Json&) {
        platform::clearHostTrace();
        return Json::object();
    });

    // {"cmd":"reload","nested":false}
    channel.on("reload", [&context](const Json& request) { return reloadReply(request, context); });

    // {"cmd":"relaunch"}: the application is sent _relaunchSpringBoardNow
    // after the reply (SpringBoard then ends with the relaunch status).
    channel.on("relaunch", [](const Json&) {
        UIApplication* application = sharedApplicationObject();
        const bool answers =
            application && class_respondsToSelector(object_getClass(application), sel_registerName("_relaunchSpringBoardNow"));
        dispatch_async_main([] {
            objc_msgSend(sharedApplicationObject(), sel_registerName("_relaunchSpringBoardNow"));
        });
        return Json{{"relaunching", answers}};
    });
}

}  // namespace zv::device
