#include "Device.h"

#include <utility>

#include "RequestLine.h"
#include "control/ErrorReply.h"
#include "control/ControlChannel.h"
#include "control/JsonNesting.h"

namespace zv::device {

using Json = nlohmann::json;

Device::Device(std::vector<ProcessSetup> setups) {
    for (auto& setup : setups) {
        const std::string name = setup.name;
        names_.push_back(name);
        auto process = std::make_unique<SimulatedProcess>(
            std::move(setup), [this](const std::string& n, const std::string& line) { lineFrom(n, line); },
            [this](const std::string& n, int status, bool restarting) { exited(n, status, restarting); });
        processes_[name].process = std::move(process);
    }
}

Device::~Device() { stopAll(); }

void Device::startAll() {
    for (const auto& name : names_) {
        processes_[name].status = ProcessStatus{};
        processes_[name].process->start();
    }
    changed();
}

void Device::stopAll() {
    for (const auto& name : names_) processes_[name].process->stop();
}

ProcessStatus Device::status(const std::string& process) const {
    const Entry& entry = processes_.at(process);
    ProcessStatus status = entry.status;
    status.running = entry.process->running();
    status.ready = status.ready && status.running;
    return status;
}

bool Device::allReady() const {
    for (const auto& [name, entry] : processes_)
        if (!entry.status.ready || !entry.process->running()) return false;
    return true;
}

bool Device::knowsCommand(const std::string& process, const std::string& command) const {
    if (process == DeviceControls::kName) return DeviceControls::speaks(command);
    auto it = processes_.find(process);
    if (it == processes_.end()) return false;
    return command == "start" || command == "front" || it->second.status.commands.count(command) != 0;
}

std::optional<Json> Device::request(const std::string& process, const std::string& line) {
    if (process == DeviceControls::kName) return controls_.request(line);
    const RequestLine parsed = parseRequestLine(line);
    auto it = processes_.find(process);
    if (it == processes_.end()) return control::errorReply("the device has no process \"" + process + "\"", parsed.id);
    Entry& entry = it->second;
    const bool running = entry.process->running();

    if (parsed.command == "start") {
        if (!running && entry.process->start()) {
            entry.status.ready = false;
            entry.status.exitStatus.reset();
            changed();
        }
        Json reply{{"ok", entry.process->running()}, {"running", entry.process->running()}};
        if (!entry.process->running()) reply["error"] = process + " could not be started";
        if (!parsed.id.is_null()) reply["id"] = parsed.id;
        return reply;
    }
    if (!running) return control::errorReply(process + " is not running", parsed.id);
    if (parsed.command == "front") {
        front_ = process;
        changed();
        Json reply{{"ok", true}, {"front", front_}};
        if (!parsed.id.is_null()) reply["id"] = parsed.id;
        return reply;
    }
    if (!entry.process->send(line))
        return control::errorReply(entry.process->takesInput() ? process + " is not reading its input (too much is waiting)"
                                                      : process + " is not running",
                          parsed.id);
    ++entry.unanswered[parsed.id.dump()];
    return std::nullopt;
}

void Device::answerUnanswered(const std::string& process, bool restarting) {
    Entry& entry = processes_.at(process);
    const std::string text = process + " ended before it answered" + (restarting ? "; it is relaunching" : "");
    for (const auto& [id, count] : std::exchange(entry.unanswered, {})) {
        const Json reply = control::errorReply(text, Json::parse(id, nullptr, false));
        const std::string line = reply.dump(-1, ' ', false, Json::error_handler_t::replace);
        for (size_t i = 0; i < count; ++i) deliver(process, line, reply);
    }
}

void Device::lineFrom(const std::string& process, const std::string& line) {
    Entry& entry = processes_.at(process);
    // Processes write one flat object per line; a deeper one is passed on unread.
    Json parsed = !control::nestsDeeperThan(line, control::kDeepestRequest) ? Json::parse(line, nullptr, false) : Json(Json::value_t::discarded);
    bool stateChanged = false;
    if (parsed.is_object()) {
        const std::string event = parsed.value("event", "");
        if (event == "layout") {
            entry.status.layout = parsed;
        } else if (event == "page") {
            entry.status.page = std::make_shared<const Json>(parsed);
        } else if (event.empty() && parsed.contains("ok")) {
            // A reply: one request fewer waits for an answer.
            const auto id = parsed.find("id");
            auto waiting = entry.unanswered.find(id != parsed.end() ? id->dump() : "null");
            if (waiting != entry.unanswered.end() && --waiting->second == 0) entry.unanswered.erase(waiting);
        } else if (event == "ready") {
            entry.status.ready = true;
            entry.status.commands.clear();
            if (auto commands = parsed.find("commands"); commands != parsed.end() && commands->is_array())
                for (const Json& command : *commands)
                    if (command.is_string()) entry.status.commands.insert(command.get<std::string>());
            stateChanged = true;
        }
    }
    deliver(process, line, parsed);
    if (stateChanged) {
        changed();
        // A host that starts, or starts again, is given the device's state.
        controls_.ready(process);
    }
}

void Device::exited(const std::string& process, int status, bool restarting) {
    answerUnanswered(process, restarting);
    Entry& entry = processes_.at(process);
    entry.status.ready = false;
    entry.status.exitStatus = status;
    // An application that ends stays in front, shown stopped, until it is
    // started again or the home screen is asked for.
    for (auto& listener : exitListeners_) listener(process, status, restarting);
    // A process that ended shows no page; its listeners were told of the last one.
    entry.status.page.reset();
    changed();
}

// The replies to the device's own requests stay with it.
void Device::deliver(const std::string& process, const std::string& line, const Json& parsed) {
    if (controls_.takeReply(process, parsed)) return;
    for (auto& listener : lineListeners_) listener(process, line, parsed);
}

void Device::changed() {
    for (auto& listener : changeListeners_) listener();
}

}  // namespace zv::device
