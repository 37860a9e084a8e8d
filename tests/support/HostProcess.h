// A simulated process (a status-bar host or the Settings app) started on a
// device root, driven through its control protocol.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "ChildProcess.h"

namespace zv::test {

struct HostOptions {
    std::string deviceRoot;  // host path of the device root
    std::vector<std::string> arguments;  // argv; argv[0] is the device path it stands for
    bool springBoard = false;
    std::string executable = std::string(ZV_BIN_DIR) + "/zv-host";
};

class HostProcess {
public:
    // Starts the process and waits for its "ready" event.
    explicit HostProcess(const HostOptions& options);

    bool ready() const { return ready_; }
    // Sends a request and returns its reply (matched by id; events and other
    // replies met on the way are kept for events()). Null on timeout.
    nlohmann::json request(nlohmann::json request,
                           std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Waits for an unsolicited line {"event": name}.
    std::optional<nlohmann::json> waitForEvent(const std::string& name,
                                               std::chrono::milliseconds timeout = std::chrono::seconds(10));
    ChildProcess& process() { return process_; }

private:
    ChildProcess process_;
    bool ready_ = false;
    long nextId_ = 1;
    std::vector<nlohmann::json> pendingEvents_;
};

}  // namespace zv::test
