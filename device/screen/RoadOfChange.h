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
// time order — only what the person's action set going:
//   - a "wrote" or "posted" event of the action's process (the Settings
//     application does nothing on its own that writes or posts);
//   - a "delivered" event of a name posted before it on this road;
//   - the first "layout" event of a process after a delivery to it on this
//     road, that process started again or not (a relaunched SpringBoard
//     lays out anew in its next life).
// Anything else stays off the road: what other processes write or post (a
// device control: the charger's notification, posted by SpringBoard), the
// deliveries and layouts that follow it, a layout nobody asked for (the
// battery, Bluetooth, the width), and a process that ended and started
// again without a delivery of this road waiting for it. A road holds at most
// kMaxSteps steps.
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

    // {"action": {"process", "cmd", "t"} or null, "steps": [{"process",
    // "kind", "subject", "ms"}]}: kind is "wrote" (subject: the device path),
    // "posted", "delivered" (subject: the name) or "laidOut"; ms the time
    // since the action, in milliseconds. Steps in time order. A "wrote"
    // step also tells what the file is (common/SettingsFileNames.h): "file"
    // is "settings" (the settings file), "profile" (a profile file of the
    // preferences folder, its name in "profile") or "other".
    nlohmann::json toJson() const;

private:
    struct Event {
        std::string process;
        std::string kind;  // "wrote", "posted", "delivered", "layout"
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
