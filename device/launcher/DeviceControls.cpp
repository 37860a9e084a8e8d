#include "DeviceControls.h"

#include <limits>
#include <utility>

#include "Device.h"
#include "RequestLine.h"
#include "control/ErrorReply.h"
#include "control/DeviceWords.h"

namespace zv::device {

namespace {

// The ids of the launcher's own requests to the hosts.
constexpr std::string_view kIdPrefix = "device:";

std::string idFor(std::uint64_t key) { return std::string(kIdPrefix) + std::to_string(key); }

std::optional<std::uint64_t> keyOf(const nlohmann::json& reply) {
    auto id = reply.find("id");
    if (id == reply.end() || !id->is_string()) return std::nullopt;
    const std::string& text = id->get_ref<const std::string&>();
    if (!text.starts_with(kIdPrefix) || text.size() == kIdPrefix.size() || text.size() > kIdPrefix.size() + 20 ||
        text.find_first_not_of("0123456789", kIdPrefix.size()) != std::string::npos)
        return std::nullopt;
    return std::stoull(text.substr(kIdPrefix.size()));
}

// The integer member `key`, within int32 (what the status-bar data holds).
std::optional<int> intArgument(const nlohmann::json& request, const char* key) {
    auto it = request.find(key);
    if (it == request.end() || !it->is_number_integer()) return std::nullopt;
    const auto value = it->get<long long>();
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<int>(value);
}

}  // namespace

bool DeviceControls::speaks(const std::string& command) {
    return command == "battery" || command == "charger" || command == "bluetooth" || command == "width";
}

std::vector<std::string> DeviceControls::hosts() const {
    std::vector<std::string> hosts;
    for (const auto& name : device_.names()) {
        const ProcessStatus status = device_.status(name);
        if (status.running && !status.layout.is_null()) hosts.push_back(name);
    }
    return hosts;
}

std::pair<int, int> DeviceControls::battery() const {
    if (auto kept = kept_.find("battery"); kept != kept_.end())
        return {kept->second["state"].get<int>(), kept->second["capacity"].get<int>()};
    if (!device_.has(Device::kHomeProcess)) return {control::kOnBattery, 100};
    const Json& layout = device_.status(Device::kHomeProcess).layout;
    const Json battery = layout.is_object() ? layout.value("battery", Json::object()) : Json::object();
    const Json state = battery.is_object() ? battery.value("state", Json(control::kOnBattery)) : Json();
    const Json capacity = battery.is_object() ? battery.value("capacity", Json(100)) : Json();
    return {state.is_number_integer() ? state.get<int>() : control::kOnBattery,
            capacity.is_number_integer() ? capacity.get<int>() : 100};
}

std::optional<nlohmann::json> DeviceControls::request(const std::string& line) {
    const RequestLine parsed = parseRequestLine(line);
    const Json& request = parsed.request;
    if (!request.is_object()) return control::errorReply("a request is one JSON object: {\"cmd\": ...}", parsed.id);
    const std::string& command = parsed.command;
    if (!speaks(command))
        return control::errorReply("the device answers \"battery\", \"charger\", \"bluetooth\" and \"width\"", parsed.id);

    // What goes to each host, and what the reply reports of it.
    Json toHosts{{"cmd", command}};
    Json reply{{"ok", true}};
    bool chargerChanged = false;
    if (command == "battery" || command == "charger") {
        const auto [state, capacity] = battery();
        int newState = state;
        int newCapacity = capacity;
        if (command == "charger") {
            auto in = request.find("in");
            if (in == request.end() || !in->is_boolean()) return control::errorReply("argument \"in\" must be true or false", parsed.id);
            // A charger put in starts charging; one that stays in keeps its state (charged, say).
            if (in->get<bool>() != control::chargerIn(state)) newState = in->get<bool>() ? control::kCharging : control::kOnBattery;
        } else {
            if (request.contains("capacity")) {
                auto value = intArgument(request, "capacity");
                if (!value) return control::errorReply("argument \"capacity\" must be an integer", parsed.id);
                newCapacity = *value;
            }
            if (request.contains("state")) {
                auto value = intArgument(request, "state");
                if (!value) return control::errorReply("argument \"state\" must be an integer", parsed.id);
                newState = *value;
            }
        }
        toHosts = Json{{"cmd", "battery"}, {"state", newState}, {"capacity", newCapacity}};
        chargerChanged = control::chargerIn(newState) != control::chargerIn(state);
        const char* charge = control::chargeWord(newState);
        reply.update(Json{{"state", newState},
                          {"capacity", newCapacity},
                          {"charger", control::chargerWord(newState)},
                          {"charge", charge ? Json(charge) : Json()}});
    } else if (command == "bluetooth") {
        auto state = request.find("state");
        if (state == request.end() || !state->is_string() || !control::bluetoothStateNamed(state->get<std::string>()))
            return control::errorReply("argument \"state\" must be \"absent\", \"off\", \"on\" or \"connected\"", parsed.id);
        toHosts["state"] = *state;
        reply["state"] = *state;
    } else {
        auto points = intArgument(request, "points");
        if (!points) return control::errorReply("argument \"points\" must be an integer", parsed.id);
        // Refused here, not kept for the hosts that start later to refuse.
        if (!control::isPhoneWidth(*points)) return control::errorReply("argument \"points\" must be 320, 375 or 414", parsed.id);
        toHosts["points"] = *points;
        reply["points"] = *points;
    }

    // Kept for the hosts that start later; a change that follows before the
    // hosts report this one starts from it.
    kept_[toHosts["cmd"].get<std::string>()] = toHosts;

    const std::vector<std::string> targets = hosts();
    reply["hosts"] = targets;
    if (command == "battery" || command == "charger") reply["posted"] = false;
    if (targets.empty()) {
        if (!parsed.id.is_null()) reply["id"] = parsed.id;
        return reply;
    }
    const std::uint64_t key = next_++;
    Fanout& fanout = fanouts_[key];
    fanout.id = parsed.id;
    fanout.hosts = targets;
    fanout.waiting.insert(targets.begin(), targets.end());
    fanout.postCharger = chargerChanged;
    fanout.reply = std::move(reply);
    for (const auto& host : targets) send(key, host, toHosts);
    return std::nullopt;
}

void DeviceControls::ready(const std::string& process) {
    if (device_.status(process).layout.is_null()) return;  // it shows no status bar
    for (const auto& kept : kept_) {
        const std::uint64_t key = next_++;
        Fanout& fanout = fanouts_[key];
        fanout.quiet = true;
        fanout.hosts = {process};
        fanout.waiting = {process};
        send(key, process, kept.second);
    }
}

void DeviceControls::send(std::uint64_t key, const std::string& process, Json request) {
    request["id"] = idFor(key);
    if (std::optional<Json> now = device_.request(process, request.dump())) answered(key, process, *now);
}

bool DeviceControls::takeReply(const std::string& process, const Json& parsed) {
    if (!parsed.is_object() || parsed.contains("event") || !parsed.contains("ok")) return false;
    const auto key = keyOf(parsed);
    if (!key) return false;
    auto fanout = fanouts_.find(*key);
    if (fanout == fanouts_.end() || !fanout->second.waiting.count(process)) return false;
    answered(*key, process, parsed);
    return true;
}

void DeviceControls::answered(std::uint64_t key, const std::string& process, const Json& reply) {
    auto it = fanouts_.find(key);
    if (it == fanouts_.end() || !it->second.waiting.erase(process)) return;
    Fanout& fanout = it->second;
    if (reply.value("ok", false) != true) {
        const Json error = reply.value("error", Json("refused"));
        std::string& text = fanout.errors[process];
        text += (text.empty() ? "" : "; ") + (error.is_string() ? error.get<std::string>() : error.dump());
    }
    if (fanout.posting) {
        fanout.posting = false;
        if (reply.value("ok", false) == true) fanout.reply["posted"] = true;
        return finish(key);
    }
    if (!fanout.waiting.empty()) return;
    if (fanout.postCharger) {
        // Every process learns that the power source changed once each
        // has its new battery data.
        fanout.postCharger = false;
        fanout.posting = true;
        fanout.waiting.insert(Device::kHomeProcess);
        return send(key, Device::kHomeProcess, Json{{"cmd", "charger"}});
    }
    finish(key);
}

void DeviceControls::finish(std::uint64_t key) {
    auto it = fanouts_.find(key);
    if (it == fanouts_.end()) return;
    Fanout fanout = std::move(it->second);
    fanouts_.erase(it);
    if (fanout.quiet) return;
    Json reply = std::move(fanout.reply);
    if (!fanout.errors.empty()) {
        reply["errors"] = fanout.errors;
        std::string text;
        // In start order, SpringBoard's post last.
        std::vector<std::string> order = fanout.hosts;
        order.push_back(Device::kHomeProcess);
        for (const auto& process : order) {
            auto error = fanout.errors.find(process);
            if (error == fanout.errors.end()) continue;
            text += (text.empty() ? "" : "; ") + process + ": " + error->second;
            fanout.errors.erase(error);  // once, though SpringBoard is both a host and the poster
        }
        reply["ok"] = false;
        reply["error"] = text;
    }
    if (!fanout.id.is_null()) reply["id"] = fanout.id;
    deliver_(reply.dump(-1, ' ', false, Json::error_handler_t::replace), reply);
}

}  // namespace zv::device
