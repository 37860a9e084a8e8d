#include "HostProcess.h"

#include "control/ControlRequest.h"

namespace zv::test {

namespace {

ChildProcess::Options childOptions(const HostOptions& options) {
    ChildProcess::Options child;
    child.executable = options.executable;
    child.arguments = options.arguments;
    child.environment = {{"ZV_DEVICE_ROOT", options.deviceRoot},
                         {"ZV_HOST_ROLE", options.springBoard ? "springboard" : "app"}};
    return child;
}

}  // namespace

HostProcess::HostProcess(const HostOptions& options) : process_(childOptions(options)) {
    ready_ = waitForEvent("ready").has_value();
}

nlohmann::json HostProcess::request(nlohmann::json request, std::chrono::milliseconds timeout) {
    zv::control::ControlReply answer =
        zv::control::sendControlRequest(process_, std::move(request), nextId_++, timeout, [this](nlohmann::json other) {
            if (!other.is_discarded()) pendingEvents_.push_back(std::move(other));
        });
    return answer.outcome == zv::control::ControlReply::Outcome::Replied ? std::move(answer.reply) : nullptr;
}

std::optional<nlohmann::json> HostProcess::waitForEvent(const std::string& name, std::chrono::milliseconds timeout) {
    for (auto it = pendingEvents_.begin(); it != pendingEvents_.end(); ++it) {
        if (it->is_object() && it->value("event", "") == name) {
            auto event = std::move(*it);
            pendingEvents_.erase(it);
            return event;
        }
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        auto line = process_.readLine(left);
        if (!line) return std::nullopt;
        auto message = nlohmann::json::parse(*line, nullptr, false);
        if (message.is_object() && message.value("event", "") == name) return message;
        if (!message.is_discarded()) pendingEvents_.push_back(std::move(message));
    }
    return std::nullopt;
}

}  // namespace zv::test
