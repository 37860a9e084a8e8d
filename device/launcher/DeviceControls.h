// The controls of the device itself, beside its processes: the battery, the
// charger, Bluetooth and the phone's width. They are state of the machine,
// not of one process: every process that shows a status bar (a host) holds
// its own copy, so a change goes to each of them. The launcher answers them
// under the name "device", for the terminal and the screen alike:
//
//   device {"cmd":"battery","capacity":80}         ("state" too: the battery-state field)
//   device {"cmd":"charger","in":true}
//   device {"cmd":"bluetooth","state":"connected"}
//   device {"cmd":"width","points":375}
//
// A command goes, with an id of the launcher's own, to every running
// process that has reported a layout, in start order; their replies stay
// here. Once each has answered, a change of the charger (in or out) is
// posted through SpringBoard ("charger"), then the request gets one reply,
// with its id, written as a process's reply line is: {"ok":true,"hosts":
// [...], ...} or {"ok":false,"error":"app: ...","errors":{"app":"..."},...}
// when a host refused. With no host running the reply comes at once, with
// "hosts":[]. A bad argument (a width the phone does not have, say) is
// refused at once and changes nothing.
//
// The device keeps what its commands set: the battery data, Bluetooth and
// the width each last sent to the hosts (a control never set stays the
// hosts' own default). A host that starts, or starts again (SpringBoard
// relaunching, an application started anew), is given the kept state as
// soon as it says "ready", just after its first layout; those replies stay
// here too, and nothing is posted: for the device, nothing changed. So a
// command sent while no host runs reaches each host once it is ready.
//
// The battery's state and capacity a command starts from are the device's:
// those the last battery or charger command set, else SpringBoard's as its
// last layout reported them.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

namespace zv::device {

class Device;

class DeviceControls {
public:
    using Json = nlohmann::json;
    // Hands the reply line on as if the process named kName wrote it.
    using Deliver = std::function<void(const std::string& line, const Json& reply)>;

    static constexpr const char* kName = "device";

    DeviceControls(Device& device, Deliver deliver) : device_(device), deliver_(std::move(deliver)) {}

    static bool speaks(const std::string& command);

    // One request line for the device: its reply now (a refused request),
    // or nullopt when it went to the hosts and the reply comes later.
    std::optional<Json> request(const std::string& line);

    // A line a process wrote: true when it is the reply to one of the
    // requests sent here, which then goes no further.
    bool takeReply(const std::string& process, const Json& parsed);

    // `process` said "ready" since it (re)started: a host is given the
    // device's kept state.
    void ready(const std::string& process);

private:
    // A request waiting for the replies of the hosts it went to.
    struct Fanout {
        Json id;                             // the request's, echoed
        Json reply;                          // the reply as it grows
        std::vector<std::string> hosts;      // in start order
        std::map<std::string, std::string> errors;  // a host's error text, by host
        std::set<std::string> waiting;       // the processes whose reply is still to come
        bool quiet = false;                  // the kept state given to a host that started: no reply
        bool postCharger = false;            // the charger changed: SpringBoard posts once the hosts answered
        bool posting = false;                // SpringBoard's post is on its way
    };

    // The running processes that report a status bar, in start order.
    std::vector<std::string> hosts() const;
    // The battery state and capacity now: those last sent, else
    // SpringBoard's last reported.
    std::pair<int, int> battery() const;
    // Sends `request` to `process` for the fan-out `key`; a reply the
    // launcher gives at once is taken at once.
    void send(std::uint64_t key, const std::string& process, Json request);
    void answered(std::uint64_t key, const std::string& process, const Json& reply);
    void finish(std::uint64_t key);

    Device& device_;
    Deliver deliver_;
    std::map<std::uint64_t, Fanout> fanouts_;
    // The device's state: the request each control last sent to the hosts,
    // by its command ("battery", "bluetooth", "width").
    std::map<std::string, Json> kept_;
    std::uint64_t next_ = 1;
};

}  // namespace zv::device
