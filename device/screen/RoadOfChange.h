// The road of the last change, as the screen's panel shows it: a user's
// action in a process (the Settings application), then what followed across
// the device — files written, notifications posted, their deliveries, and
// each status bar laid out again — each step with its time from the action.
//
// Built from the processes' own events (control/ActivityEvents.h and the
// hosts' layout events), whose times share one clock. A plain record: the
// screen server feeds it and sends what it holds.
//
// What counts as a step of the road:
//   - "wrote" and "posted" events of any process after the action;
//   - "delivered" events of a name posted on this road;
//   - the first "layout" event of a process after a delivery to it on this
//     road, or after it ended during the road (a relaunched SpringBoard).
// Anything else (a later charger notification, a layout nobody asked for)
// stays off the road. A road holds at most kMaxSteps steps.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace zv::screen {

class RoadOfChange {
public:
    static constexpr std::size_t kMaxSteps = 64;

    // Takes one event of a process; true when the road changed.
    bool take(const std::string& process, const nlohmann::json& event);
    // The process ended: its next layout (once started again) is on the road.
    void processEnded(const std::string& process);

    // {"action": {"process", "cmd", "t"} or null, "steps": [{"process", "kind",
    // "subject", "ms"}]}: kind is "wrote" (subject: the device path),
    // "posted", "delivered" (subject: the name) or "laidOut"; ms the time
    // since the action, in milliseconds. Steps in time order.
    nlohmann::json toJson() const;

private:
    struct Step {
        std::string process;
        std::string kind;
        std::string subject;
        std::int64_t time = 0;
    };
    void add(Step step);

    bool active_ = false;
    std::string actionProcess_;
    std::string command_;
    std::int64_t began_ = 0;
    std::vector<Step> steps_;
    std::set<std::string> posted_;         // names posted on this road
    std::set<std::string> awaitingLayout_;  // processes whose next layout is a step
};

}  // namespace zv::screen
