// The line-based JSON control protocol every simulated process speaks on its
// standard input and output (docs/control-protocol.md).
//
// Each request is one JSON object on one line: {"cmd": "<command>", ...}.
// Each reply is one JSON object on one line: {"ok": true, ...} or
// {"ok": false, "error": "<text>"}; a request's "id", when given, is echoed
// in its reply. A reply may come later than requests that follow it (a
// command that waits for something), so callers that pipeline match by id.
// A malformed line, an unknown command or an argument of the wrong type gets
// an error reply and the process keeps running. So does a line longer than
// kLongestRequest bytes (dropped as it arrives, never held whole) or nested
// deeper than kDeepestRequest arrays and objects; their replies carry no
// "id", since it is not read. End of input ends the process's main loop.
#pragma once

#include <functional>
#include <cstddef>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "control/RequestLines.h"

namespace zv::control {

using Json = nlohmann::json;

inline constexpr size_t kLongestRequest = 1 << 20;  // bytes of one line, newline excepted
inline constexpr size_t kDeepestRequest = 64;       // arrays and objects inside one another
inline constexpr long long kLongestWaitMs = 3'600'000;  // what a `wait` command may ask for: an hour

// Thrown by a handler (or the argument helpers) to answer with an error.
struct ControlError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class ControlChannel {
public:
    using Reply = std::function<void(Json)>;
    // A handler that answers now returns its reply's fields.
    using SyncHandler = std::function<Json(const Json& request)>;
    // A handler that answers later calls `reply` once, on the main loop.
    using AsyncHandler = std::function<void(const Json& request, Reply reply)>;

    void on(const std::string& command, SyncHandler handler);
    void onAsync(const std::string& command, AsyncHandler handler);
    // The commands registered, in name order.
    std::vector<std::string> commands() const;

    // Starts reading standard input on the main loop.
    void start();
    // Handles one request line and writes its reply(ies); used by start() and by tests.
    void handleLine(const std::string& line);
    // Takes bytes read from standard input; handles the lines they end.
    void takeInput(std::string_view bytes);
    // Standard input has ended: handles a last line without newline.
    void endInput();

    // Writes one JSON line to standard output (also for unsolicited lines).
    static void writeLine(const Json& message);

private:
    void handleRequestLine(RequestLine line);

    std::map<std::string, AsyncHandler> handlers_;
    RequestLines input_{kLongestRequest};
};

// Argument helpers: the named member, of the right type, or a ControlError.
std::string argString(const Json& request, const char* key);
long long argInt(const Json& request, const char* key);
bool argBool(const Json& request, const char* key);
double argNumber(const Json& request, const char* key);

}  // namespace zv::control
