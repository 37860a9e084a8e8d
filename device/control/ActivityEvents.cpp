#include "ActivityEvents.h"

#include <time.h>

#include <optional>

#include <nlohmann/json.hpp>

#include "ControlChannel.h"
#include "foundation/PlatformActivity.h"

namespace zv::control {

namespace {

struct RunningAction {
    std::string command;
    std::int64_t began = 0;
    bool announced = false;
};

// The command being handled now, on the main thread.
std::optional<RunningAction>& runningAction() {
    static std::optional<RunningAction> action;
    return action;
}

void announceAction() {
    auto& action = runningAction();
    if (!action || action->announced) return;
    action->announced = true;
    ControlChannel::writeLine({{"event", "action"}, {"cmd", action->command}, {"t", action->began}});
}

void onActivity(PlatformActivity activity, std::string_view subject) {
    const std::int64_t now = eventTime();
    announceAction();
    Json event;
    switch (activity) {
        case PlatformActivity::FileWritten:
            event = {{"event", "wrote"}, {"file", subject}};
            break;
        case PlatformActivity::DarwinPosted:
            event = {{"event", "posted"}, {"name", subject}, {"centre", "darwin"}};
            break;
        case PlatformActivity::DistributedPosted:
            event = {{"event", "posted"}, {"name", subject}, {"centre", "distributed"}};
            break;
        case PlatformActivity::DarwinDelivered:
            event = {{"event", "delivered"}, {"name", subject}, {"centre", "darwin"}};
            break;
        case PlatformActivity::DistributedDelivered:
            event = {{"event", "delivered"}, {"name", subject}, {"centre", "distributed"}};
            break;
    }
    event["t"] = now;
    ControlChannel::writeLine(event);
}

}  // namespace

std::int64_t eventTime() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

void writeActivityEvents() { setPlatformActivityHook(onActivity); }

UserAction::UserAction(const std::string& command) { runningAction() = RunningAction{command, eventTime(), false}; }

UserAction::~UserAction() { runningAction().reset(); }

void nameUserAction(const std::string& command) {
    auto& action = runningAction();
    if (action && !action->announced) action->command = command;
}

}  // namespace zv::control
