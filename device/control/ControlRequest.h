// The client side of the control protocol: one request to a process started
// as a ChildProcess, answered by the reply that carries the request's id.
// Lines met before it (events, replies to earlier requests, lines that are
// no JSON) are handed to the caller, not lost.
#pragma once

#include <chrono>
#include <csignal>
#include <functional>

#include <nlohmann/json.hpp>

#include "foundation/ChildProcess.h"

namespace zv::control {

struct ControlReply {
    enum class Outcome {
        Replied,      // `reply` holds it (its "ok" may be false)
        NotSent,      // the process no longer reads its input
        TimedOut,     // no reply within the timeout
        Ended,        // the process's output ended first
        Interrupted,  // *interrupted was set while waiting
    };
    Outcome outcome = Outcome::TimedOut;
    nlohmann::json reply;
};

// Sends `request` with "id" set to `id` and waits up to `timeout` for the
// reply with that id. Every other line read on the way goes to `onOther`
// (when given), parsed: a line that is no JSON as a discarded value.
ControlReply sendControlRequest(zv::process::ChildProcess& process, nlohmann::json request, long id,
                                std::chrono::milliseconds timeout,
                                const std::function<void(nlohmann::json)>& onOther = {},
                                const volatile std::sig_atomic_t* interrupted = nullptr);

}  // namespace zv::control
