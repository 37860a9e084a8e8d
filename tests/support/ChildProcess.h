// A program started as a separate process, driven through its standard
// input and output, one line at a time: the simulated device's hosts (one
// JSON line per reply), tools, helper programs. The platform's child
// process (foundation/ChildProcess.h), started so that a child that stopped
// reading its input never ends the test with SIGPIPE.
//
//   ChildProcess host({.executable = ZV_BIN_DIR "/zv-host",
//                      .arguments = {"/Applications/Some.app/Some"},
//                      .environment = {{"ZV_DEVICE_ROOT", root.path()}}});
//   host.writeLine(R"({"command":"layout"})");
//   std::optional<std::string> reply = host.readLine(std::chrono::seconds(5));
#pragma once

#include "foundation/ChildProcess.h"

namespace zv::test {

using ExitStatus = zv::process::ExitStatus;

class ChildProcess : public zv::process::ChildProcess {
public:
    using Options = zv::process::ChildProcess::Options;

    // Starts the child; throws std::runtime_error when it cannot be started.
    explicit ChildProcess(Options options);
};

}  // namespace zv::test
