// The launcher's command line: every argument is an option; an unknown one
// or a bad value is refused with one line and exit status 2.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zv::device {

inline constexpr int kDefaultScreenPort = 8370;
inline constexpr int kUsageExitStatus = 2;

struct LauncherOptions {
    std::string root;               // empty: the embedded default device root
    int port = kDefaultScreenPort;  // 0: a free port
    bool screen = true;
};

// What the command line asks for: options to run with, or a text to print
// (help, version or a usage error) and the exit status to end with.
struct ParsedCommandLine {
    std::optional<LauncherOptions> options;
    std::string output;   // for standard output (help, version)
    std::string error;    // one line for standard error
    int exitStatus = 0;
};

ParsedCommandLine parseLauncherCommandLine(const std::vector<std::string>& arguments);

}  // namespace zv::device
