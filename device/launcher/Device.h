// The simulated device as the launcher runs it: its processes, which of
// them answer, the commands each speaks, the last layout and page each
// pushed, and which one is in front. The terminal and the screen drive it through the
// same entry point, request().
//
// The launcher answers two commands of its own for any process:
//   {"cmd":"start"}  starts the process when it is not running;
//   {"cmd":"front"}  brings its screen to the front (SpringBoard's is the
//                    home screen), once it is running.
// Every other request goes to the process; while the process is not
// running the launcher answers for it with an error (never writing to a
// process that has gone). A line sent while the process starts (or
// relaunches) waits in its input until it reads it. Every line the process
// took gets one answer: when the process ends before answering some, the
// launcher answers each of them with an error, as if from the process
// ({"ok":false,"error":"springboard ended before it answered; it is
// relaunching","id":...}), before it reports the end.
//
// Requests to "device" are the device's own controls (DeviceControls.h):
// the launcher answers them, with a line as from a process of that name,
// and gives their state to each process that says "ready".
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "DeviceControls.h"
#include "SimulatedProcess.h"

namespace zv::device {

struct ProcessStatus {
    bool running = false;              // started and not yet ended
    bool ready = false;                // it said "ready" since it last started
    std::optional<int> exitStatus;     // how it last ended, while it is not running
    std::set<std::string> commands;    // as its last "ready" listed them
    nlohmann::json layout;             // its last layout event, null before the first
    // Its last page event, none before the first and once it ended. Shared,
    // not copied with the status: a page may list thousands of rows.
    std::shared_ptr<const nlohmann::json> page;
};

class Device {
public:
    using Json = nlohmann::json;
    // Every line a process writes, and the line parsed (discarded when it is not JSON).
    using LineListener = std::function<void(const std::string& process, const std::string& line, const Json& parsed)>;
    // A process started, became ready or ended, or the front changed.
    using ChangeListener = std::function<void()>;
    using ExitListener = std::function<void(const std::string& process, int status, bool restarting)>;

    explicit Device(std::vector<ProcessSetup> setups);
    ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    void onLine(LineListener listener) { lineListeners_.push_back(std::move(listener)); }
    void onChange(ChangeListener listener) { changeListeners_.push_back(std::move(listener)); }
    void onExit(ExitListener listener) { exitListeners_.push_back(std::move(listener)); }

    void startAll();
    // Ends every process and waits for each.
    void stopAll();

    // The process names, in start order.
    const std::vector<std::string>& names() const { return names_; }
    bool has(const std::string& process) const { return processes_.count(process) != 0; }
    // Whether requests can go to `name`: a process, or the device itself.
    bool takesRequests(const std::string& name) const { return has(name) || name == DeviceControls::kName; }
    ProcessStatus status(const std::string& process) const;
    bool allReady() const;
    // The process whose screen is shown when the phone is unlocked.
    const std::string& front() const { return front_; }

    // Whether `command` is one the process speaks (or one of the launcher's).
    bool knowsCommand(const std::string& process, const std::string& command) const;

    // One request line for the process. Returns the launcher's reply when
    // the launcher answers (its own commands; an error when the process is
    // not running or does not take the line), or nullopt when the line went
    // to the process, which replies itself. The reply echoes the request's id.
    std::optional<Json> request(const std::string& process, const std::string& line);

    static constexpr const char* kHomeProcess = "springboard";

private:
    struct Entry {
        std::unique_ptr<SimulatedProcess> process;
        ProcessStatus status;
        // The ids (as JSON text; "null" for none) of the requests the
        // process took and has not answered, with how many of each.
        std::map<std::string, size_t> unanswered;
    };

    void lineFrom(const std::string& process, const std::string& line);
    void exited(const std::string& process, int status, bool restarting);
    // Answers for the process every request it took and did not answer.
    void answerUnanswered(const std::string& process, bool restarting);
    void changed();
    void deliver(const std::string& process, const std::string& line, const Json& parsed);

    std::vector<std::string> names_;
    std::map<std::string, Entry> processes_;
    std::string front_ = kHomeProcess;
    std::vector<LineListener> lineListeners_;
    std::vector<ChangeListener> changeListeners_;
    std::vector<ExitListener> exitListeners_;
    DeviceControls controls_{*this, [this](const std::string& line, const Json& reply) {
                                 deliver(DeviceControls::kName, line, reply);
                             }};
};

}  // namespace zv::device
