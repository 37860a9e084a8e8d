#include "HostCommands.h"

#include "StatusBarCommands.h"

#include <chrono>
#include <list>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <thread>

#include "control/ErrorReply.h"
#include "foundation/MainQueue.h"
#include "foundation/MainQueueTask.h"
#include "foundation/ProcessInfo.h"
#include "notifications/NotificationCenter.h"

namespace zv::device {

using control::argInt;
using control::argString;
using control::ControlChannel;
using control::ControlError;
using control::Json;

namespace {

// Bounds on what `listen` and `wait` make the host keep: the names it
// counts posts of, and the waits pending at once.
constexpr size_t kMostObservedNames = 256;  // well within the bus's match rules per connection
constexpr size_t kMostWaits = 1000;
using control::kLongestWaitMs;

// A `wait` command not answered yet, with its timer.
struct Waiter {
    ControlChannel::Reply reply;
    std::optional<MainQueueTask> timer;
};

// Commands waiting for a Darwin name, and how many posts of each observed
// name this process has received since it started observing it.
struct NotificationWaits {
    std::map<std::string, std::list<Waiter>> waiting;  // by name, oldest first; no empty lists
    size_t waiterCount = 0;
    std::map<std::string, long> received;
    std::set<std::string> observed;
};

NotificationWaits& waits() {
    static NotificationWaits w;
    return w;
}

void onDarwinNotification(CFNotificationCenterRef, void*, CFStringRef name, const void*, CFDictionaryRef) {
    auto& w = waits();
    ++w.received[name];  // only observed names arrive here
    auto it = w.waiting.find(name);
    if (it == w.waiting.end()) return;
    std::list<Waiter> answered = std::move(it->second);
    w.waiting.erase(it);
    w.waiterCount -= answered.size();
    for (Waiter& waiter : answered) {
        waiter.timer->cancel();
        waiter.reply({{"name", name}});
    }
}

// Run by the waiter's own timer, which goes with the waiter: what it needs
// is taken by value first.
void waitTimedOut(std::string name, std::list<Waiter>::iterator waiter) {
    auto& w = waits();
    auto list = w.waiting.find(name);
    ControlChannel::Reply reply = std::move(waiter->reply);
    list->second.erase(waiter);
    if (list->second.empty()) w.waiting.erase(list);
    --w.waiterCount;
    reply(control::errorReply("timed out waiting for " + name));
}

void observe(const std::string& name) {
    auto& w = waits();
    if (w.observed.count(name) != 0) return;
    if (w.observed.size() >= kMostObservedNames)
        throw ControlError("this host already observes " + std::to_string(kMostObservedNames) + " names");
    w.observed.insert(name);
    CFNotificationCenterAddObserver(CFNotificationCenterGetDarwinNotifyCenter(), nullptr, onDarwinNotification,
                                    name.c_str(), nullptr, 0);
}

void startWait(const std::string& name, long long timeoutMs, ControlChannel::Reply reply) {
    auto& w = waits();
    if (w.waiterCount >= kMostWaits)
        throw ControlError("this host already has " + std::to_string(kMostWaits) + " waits pending");
    observe(name);
    std::list<Waiter>& list = w.waiting[name];
    Waiter& waiter = list.emplace_back();
    waiter.reply = std::move(reply);
    ++w.waiterCount;
    waiter.timer.emplace([name, it = std::prev(list.end())] { waitTimedOut(name, it); });
    waiter.timer->scheduleAfter(std::chrono::milliseconds(timeoutMs));
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
        const auto count = waits().received.find(name);
        return Json{{"name", name}, {"count", count == waits().received.end() ? 0 : count->second}};
    });

    // {"cmd":"wait","name":N,"timeout_ms":T}: replies when N is next posted,
    // or with an error after T milliseconds (default 10 s, at most an hour).
    channel.onAsync("wait", [](const Json& request, ControlChannel::Reply reply) {
        const std::string name = argString(request, "name");
        const long long timeout = request.contains("timeout_ms") ? argInt(request, "timeout_ms") : 10000;
        if (timeout < 0 || timeout > kLongestWaitMs)
            throw ControlError("\"timeout_ms\" must be between 0 and " + std::to_string(kLongestWaitMs));
        startWait(name, timeout, std::move(reply));
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
