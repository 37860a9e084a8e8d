#include "ScreenMessage.h"

#include "RequestLine.h"
#include "control/ControlChannel.h"
#include "control/JsonNesting.h"

namespace zv::screen {

using nlohmann::json;

ScreenMessage parseScreenMessage(std::string_view text, const device::Device& device) {
    ScreenMessage message;
    if (text.size() > kMaxScreenMessage) {
        message.error = "a message may hold at most " + std::to_string(kMaxScreenMessage) + " bytes";
        return message;
    }
    if (control::nestsDeeperThan(text, control::kDeepestRequest)) {
        message.error = "a message may be nested at most " + std::to_string(control::kDeepestRequest) + " deep";
        return message;
    }
    json value = json::parse(text, nullptr, false);
    if (value.is_discarded() || !value.is_object()) {
        message.error = "a message is one JSON object: {\"process\": ..., \"request\": {\"cmd\": ...}}";
        return message;
    }
    auto request = value.find("request");
    if (request != value.end() && request->is_object())
        if (auto id = request->find("id"); id != request->end()) message.id = *id;
    auto process = value.find("process");
    if (process == value.end() || !process->is_string() || !device.takesRequests(process->get<std::string>())) {
        std::string names;
        for (const auto& name : device.names()) names += (names.empty() ? "" : ", ") + name;
        names += std::string(", or ") + device::DeviceControls::kName;
        message.error = "\"process\" must name a process of the device: " + names;
        return message;
    }
    message.process = process->get<std::string>();
    if (request == value.end() || !request->is_object()) {
        message.error = "\"request\" must be a JSON object with \"cmd\"";
        return message;
    }
    auto cmd = request->find("cmd");
    if (cmd == request->end() || !cmd->is_string() || !device.knowsCommand(message.process, cmd->get<std::string>())) {
        message.error = "\"cmd\" must be a command of " + message.process + "'s control protocol";
        return message;
    }
    message.request = std::move(*request);
    return message;
}

}  // namespace zv::screen
