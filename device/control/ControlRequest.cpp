#include "control/ControlRequest.h"

namespace zv::control {

ControlReply sendControlRequest(zv::process::ChildProcess& process, nlohmann::json request, long id,
                                std::chrono::milliseconds timeout,
                                const std::function<void(nlohmann::json)>& onOther,
                                const volatile std::sig_atomic_t* interrupted) {
    using Clock = std::chrono::steady_clock;
    request["id"] = id;
    if (!process.writeLine(request.dump())) return {ControlReply::Outcome::NotSent, nullptr};
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        std::optional<std::string> line =
            left.count() > 0 ? process.readLine(left, interrupted) : std::optional<std::string>();
        if (!line) {
            if (interrupted && *interrupted) return {ControlReply::Outcome::Interrupted, nullptr};
            if (process.outputFinished()) return {ControlReply::Outcome::Ended, nullptr};
            return {ControlReply::Outcome::TimedOut, nullptr};
        }
        auto message = nlohmann::json::parse(*line, nullptr, false);
        if (message.is_object() && message.contains("id") && message["id"] == id)
            return {ControlReply::Outcome::Replied, std::move(message)};
        if (onOther) onOther(std::move(message));
    }
}

}  // namespace zv::control
