#include "RoadOfChange.h"

#include <algorithm>
#include <cmath>

namespace zv::screen {

using nlohmann::json;

namespace {

std::string text(const json& event, const char* key) {
    auto it = event.find(key);
    return it != event.end() && it->is_string() ? it->get<std::string>() : std::string();
}

bool timeOf(const json& event, std::int64_t& time) {
    auto it = event.find("t");
    if (it == event.end() || !it->is_number_integer()) return false;
    time = it->get<std::int64_t>();
    return true;
}

}  // namespace

bool RoadOfChange::take(const std::string& process, const json& event) {
    if (!event.is_object()) return false;
    const std::string kind = text(event, "event");
    std::int64_t time = 0;
    if (!timeOf(event, time)) return false;
    if (kind == "action") {
        active_ = true;
        actionProcess_ = process;
        command_ = text(event, "cmd");
        began_ = time;
        steps_.clear();
        posted_.clear();
        awaitingLayout_.clear();
        return true;
    }
    if (!active_ || time < began_) return false;
    if (kind == "wrote") {
        add({process, "wrote", text(event, "file"), time});
        return true;
    }
    if (kind == "posted") {
        const std::string name = text(event, "name");
        posted_.insert(name);
        add({process, "posted", name, time});
        return true;
    }
    if (kind == "delivered") {
        const std::string name = text(event, "name");
        if (!posted_.count(name)) return false;
        awaitingLayout_.insert(process);
        add({process, "delivered", name, time});
        return true;
    }
    if (kind == "layout") {
        if (!awaitingLayout_.erase(process)) return false;
        add({process, "laidOut", "", time});
        return true;
    }
    return false;
}

void RoadOfChange::processEnded(const std::string& process) {
    if (active_) awaitingLayout_.insert(process);
}

void RoadOfChange::add(Step step) {
    if (steps_.size() >= kMaxSteps) return;
    // Events of different processes arrive through different pipes: keep
    // the steps in the order of their times.
    auto at = std::upper_bound(steps_.begin(), steps_.end(), step.time,
                               [](std::int64_t time, const Step& s) { return time < s.time; });
    steps_.insert(at, std::move(step));
}

json RoadOfChange::toJson() const {
    nlohmann::json steps = nlohmann::json::array();
    for (const Step& step : steps_) {
        const double ms = std::round(static_cast<double>(step.time - began_) / 10.0) / 100.0;
        steps.push_back({{"process", step.process}, {"kind", step.kind}, {"subject", step.subject}, {"ms", ms}});
    }
    return {{"action", active_ ? nlohmann::json{{"process", actionProcess_}, {"cmd", command_}, {"t", began_}}
                               : nlohmann::json()},
            {"steps", steps}};
}

}  // namespace zv::screen
