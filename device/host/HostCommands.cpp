#include "HostCommands.h"

#include "StatusBarCommands.h"

#include <glib.h>

#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <thread>

#include "foundation/MainQueue.h"
#include "foundation/ProcessInfo.h"
#include "notifications/NotificationCenter.h"

namespace zv::device {

using control::argInt;
using control::argString;
using control::ControlChannel;
using control::ControlError;
using control::Json;

namespace {

// Commands waiting for a Darwin name, and how many posts of each name this
// process has received since it started.
struct NotificationWaits {
    std::map<std::string, std::vector<ControlChannel::Reply>> waiting;
    std::map<std::string, long> received;
    std::set<std::string> observed;
};

NotificationWaits& waits() {
    static NotificationWaits w;
    return w;
}

void onDarwinNotification(CFNotificationCenterRef, void*, CFStringRef name, const void*, CFDictionaryRef) {
    auto& w = waits();
    ++w.received[name];
    auto it = w.waiting.find(name);
    if (it == w.waiting.end()) return;
    auto replies = std::move(it->second);
    w.waiting.erase(it);
    for (auto& reply : replies) reply({{"name", name}});
}

void observe(const std::string& name) {
    auto& w = waits();
    if (!w.observed.insert(name).second) return;
    CFNotificationCenterAddObserver(CFNotificationCenterGetDarwinNotifyCenter(), nullptr, onDarwinNotification,
                                    name.c_str(), nullptr, 0);
}

Json hooksReply(const HostContext& context) {
    Json rows = Json::array();
    int replaced = 0;
    int number = 0;
    for (const auto& method : context.hookable) {
        const bool isReplacedNow = isReplaced(method);
        replaced += isReplacedNow ? 1 : 0;
        rows.push_back({{"row", ++number},
                        {"class", method.className},
                        {"selector", method.selector},
                        {"side", method.classMethod ? "class" : "instance"},
                        {"present", method.original != nullptr},
                        {"replaced", isReplacedNow}});
    }
    return {{"rows", rows}, {"replaced", replaced}};
}

}  // namespace

void registerHostCommands(ControlChannel& channel, HostContext& context) {
    channel.on("ping", [](const Json&) { return Json{{"pong", true}}; });

    channel.on("args", [](const Json&) { return Json{{"args", processArguments()}}; });

    channel.on("injection", [&context](const Json&) {
        return Json{{"loaded", context.injection.loaded}, {"failed", context.injection.failed}};
    });

    channel.on("hooks", [&context](const Json&) { return hooksReply(context); });

    channel.on("observers", [](const Json&) {
        Json list = Json::array();
        for (const auto& o : notificationObservations())
            list.push_back({{"centre", o.centre}, {"name", o.name}, {"suspension", o.suspensionBehavior}});
        return Json{{"observers", list}, {"bus", notificationBusConnected()}};
    });

    // {"cmd":"listen","name":N}: start counting posts of N.
    channel.on("listen", [](const Json& request) {
        observe(argString(request, "name"));
        return Json::object();
    });

    // {"cmd":"received","name":N}: posts of N received since listening.
    channel.on("received", [](const Json& request) {
        const std::string name = argString(request, "name");
        return Json{{"name", name}, {"count", waits().received[name]}};
    });

    // {"cmd":"wait","name":N,"timeout_ms":T}: replies when N is next posted,
    // or with an error after T milliseconds (default 10 s).
    channel.onAsync("wait", [](const Json& request, ControlChannel::Reply reply) {
        const std::string name = argString(request, "name");
        const long long timeout = request.contains("timeout_ms") ? argInt(request, "timeout_ms") : 10000;
        observe(name);
        auto shared = std::make_shared<ControlChannel::Reply>(std::move(reply));
        waits().waiting[name].push_back([shared](Json fields) { (*shared)(std::move(fields)); });
        dispatch_after(static_cast<double>(timeout) / 1000.0, [shared, name] {
            (*shared)({{"ok", false}, {"error", "timed out waiting for " + name}});
        });
    });

    // {"cmd":"post","name":N,"distributed":false}
    channel.on("post", [](const Json& request) {
        const std::string name = argString(request, "name");
        const bool distributed = request.contains("distributed") && control::argBool(request, "distributed");
        if (distributed)
            NSDistributedNotificationCenter::defaultCenter().postNotificationName(name, nullptr);
        else
            CFNotificationCenterPostNotification(CFNotificationCenterGetDarwinNotifyCenter(), name.c_str(), nullptr,
                                                 nullptr, true);
        return Json::object();
    });

    // {"cmd":"block","ms":M}: keeps the main loop busy for M milliseconds, as
    // a host under load would be.
    channel.on("block", [](const Json& request) {
        const long long ms = argInt(request, "ms");
        if (ms < 0 || ms > 60000) throw ControlError("\"ms\" must be between 0 and 60000");
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return Json::object();
    });

    registerStatusBarCommands(channel, context);
    registerSpringBoardCommands(channel, context);

    channel.on("quit", [](const Json&) {
        dispatch_async_main([] { stopMainLoop(); });
        return Json::object();
    });
}

}  // namespace zv::device
