// A simulated device for one look at a settings file: a temporary device
// root with the staged deliverables installed and the file's bytes as its
// settings file, the device's own bus on it, and one status-bar host
// (zv-host) driven over its control protocol. The host, the bus and the root
// with everything in it are gone when the object goes; a root left behind by
// a session that was killed is removed by the next session.
#pragma once

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

class DeviceBus;
namespace zv::process {
class ChildProcess;
}

namespace zv::tools {

// Why the device could not be set up or the host did not answer; what()
// says it in one line.
class HostSessionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct HostSessionSetup {
    std::string programFolder;  // where zv-host lies
    std::string stageFolder;    // the staged deliverables, copied into the temporary device root
    std::string settingsBytes;  // the settings file, as read
    bool springBoard = true;    // SpringBoard, or an application
};

class HostSession {
public:
    // Starts everything and waits for the host's "ready". Throws HostSessionError.
    explicit HostSession(const HostSessionSetup& setup);
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Sends one request and returns its reply (matched by id). Throws
    // HostSessionError when the host refuses it, ends, or does not answer in time.
    nlohmann::json request(nlohmann::json request);

    // From now on SIGINT, SIGTERM and SIGHUP make a waiting session throw, so
    // that the host, the bus and the root are cleaned up on the way out.
    static void cleanUpOnInterrupt();

private:
    std::string readLine(std::chrono::steady_clock::time_point deadline);
    void startHost(const HostSessionSetup& setup);
    void stopHost();

    std::string root_;  // host path of the temporary device root
    int rootLock_ = -1; // the root folder, open and locked while the session lives
    std::unique_ptr<DeviceBus> bus_;
    std::unique_ptr<zv::process::ChildProcess> host_;
    long nextId_ = 1;
};

}  // namespace zv::tools
