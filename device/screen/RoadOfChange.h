// The road of the last change, as the screen's panel shows it: a user's
// action in a process (the Settings application), then what followed across
// the device — files written, notifications posted, their deliveries, and
// each status bar laid out again — each step with its time from the action.
//
// Built from the processes' own events (control/ActivityEvents.h and the
// layout events), whose times share one clock. Events of different
// processes come through different pipes, so they may arrive in another
// order than they happened — a host's delivery even before the action that
// caused it: the record keeps the latest kMaxEvents events, and the road is
// worked out from them in the order of their times, whatever order they
// were taken in.
//
// What counts as a step of the road, walking the events after the action in
// time order:
//   - every "wrote" and "posted" event;
//   - a "delivered" event of a name posted before it on this road;
//   - the first "layout" event of a process after a delivery to it on this
//     road, or after it ended during the road (a relaunched SpringBoard).
// Anything else (a later charger notification, a layout nobody asked for)
// stays off the road. A road holds at most kMaxSteps steps.
#pragma once

#include <cstdint>
#include <string>
#include <deque>

#include <nlohmann/json.hpp>

namespace zv::screen {

class RoadOfChange {
public:
    static constexpr std::size_t kMaxSteps = 64;
    static constexpr std::size_t kMaxEvents = 256;

    // Takes one event of a process; true when the road may have changed.
    // An "action" starts a new road.
    bool take(const std::string& process, const nlohmann::json& event);
    // The process ended at `time` (the events' clock): its next layout (once
    // started again) is a step.
    void processEnded(const std::string& process, std::int64_t time);

    // {"action": {"process", "cmd", "t"} or null, "steps": [{"process",
    // "kind", "subject", "ms"}]}: kind is "wrote" (subject: the device path),
    // "posted", "delivered" (subject: the name) or "laidOut"; ms the time
    // since the action, in milliseconds. Steps in time order.
    nlohmann::json toJson() const;

private:
    struct Event {
        std::string process;
        std::string kind;  // "wrote", "posted", "delivered", "layout", "ended"
        std::string subject;
        std::int64_t time = 0;
    };
    void keep(Event event);

    bool active_ = false;
    std::string actionProcess_;
    std::string command_;
    std::int64_t began_ = 0;
    std::deque<Event> events_;  // the latest, in the order taken
};

}  // namespace zv::screen
