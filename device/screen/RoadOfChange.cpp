#include "RoadOfChange.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "SettingsFileNames.h"

namespace zv::screen {

using nlohmann::json;

namespace {

std::string text(const json& event, const char* key) {
    auto it = event.find(key);
    return it != event.end() && it->is_string() ? it->get<std::string>() : std::string();
}

// What a file written at a device path is to the person: the settings file,
// a profile, or another file.
void describeWrittenFile(json& step, const std::string& path) {
    if (path == kSettingsPath) {
        step["file"] = "settings";
        return;
    }
    const std::string_view folder = kPreferencesFolder;
    std::optional<std::string> profile;
    if (path.starts_with(folder)) profile = profileNameOfFile(std::string_view(path).substr(folder.size()));
    if (profile) {
        step["file"] = "profile";
        step["profile"] = std::move(*profile);
    } else {
        step["file"] = "other";
    }
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
        return true;
    }
    if (kind == "wrote") {
        keep({process, kind, text(event, "file"), time});
    } else if (kind == "posted" || kind == "delivered") {
        keep({process, kind, text(event, "name"), time});
    } else if (kind == "layout") {
        keep({process, kind, "", time});
    } else {
        return false;
    }
    const bool byAnother = (kind == "wrote" || kind == "posted") && process != actionProcess_;
    return active_ && time >= began_ && !byAnother;
}

void RoadOfChange::keep(Event event) {
    if (events_.size() == kMaxEvents) events_.pop_front();
    events_.push_back(std::move(event));
}

json RoadOfChange::toJson() const {
    std::vector<Event> ordered;
    for (const Event& e : events_)
        if (active_ && e.time >= began_) ordered.push_back(e);
    std::stable_sort(ordered.begin(), ordered.end(), [](const Event& a, const Event& b) { return a.time < b.time; });
    std::set<std::string> posted;
    std::set<std::string> awaitingLayout;
    json steps = json::array();
    auto step = [&](const Event& e, const char* kind) {
        if (steps.size() >= kMaxSteps) return;
        const double ms = std::round(static_cast<double>(e.time - began_) / 10.0) / 100.0;
        json shown{{"process", e.process}, {"kind", kind}, {"subject", e.subject}, {"ms", ms}};
        if (e.kind == "wrote") describeWrittenFile(shown, e.subject);
        steps.push_back(std::move(shown));
    };
    for (const Event& e : ordered) {
        const bool byTheAction = e.process == actionProcess_;
        if (e.kind == "wrote" && byTheAction) {
            step(e, "wrote");
        } else if (e.kind == "posted" && byTheAction) {
            posted.insert(e.subject);
            step(e, "posted");
        } else if (e.kind == "delivered") {
            if (!posted.count(e.subject)) continue;
            awaitingLayout.insert(e.process);
            step(e, "delivered");
        } else if (e.kind == "layout" && awaitingLayout.erase(e.process)) {
            step(e, "laidOut");
        }
    }
    return {{"action", active_ ? json{{"process", actionProcess_}, {"cmd", command_}, {"t", began_}} : json()},
            {"steps", steps}};
}

}  // namespace zv::screen
