// `zorvane check`: what the plug-in's loader will do with a settings or
// profile file, finding by finding. The findings come from the loader itself
// (through its diagnostics sink), run on the file as the settings file of a
// phone that has no previous-generation file; nothing is written anywhere.
#pragma once

#include <string>
#include <vector>

#include "InputFile.h"

namespace zv::tools {

enum class Severity {
    Note,     // how the file will be read, nothing wrong
    Warning,  // something in the file is skipped, defaulted or overridden
    Error,    // the file cannot be used at all
};

// Exit statuses of `zorvane check`, the worst over all files.
inline constexpr int kCheckClean = 0;
inline constexpr int kCheckWarnings = 1;
inline constexpr int kCheckUnusable = 2;

struct Finding {
    Severity severity;
    std::string kind;        // a stable name for scripts: "unknownKey", "switchWrongType" ...
    std::string path;        // key path in the file ("left.data[2]"); empty for the whole file; printable
    std::string message;     // what it is and what the plug-in does about it; printable
    std::string suggestion;  // the nearest known key, for an unknown key; empty otherwise
};

struct CheckResult {
    std::vector<Finding> findings;  // in the order the loader meets them
    int exitStatus() const;         // kCheckClean, kCheckWarnings or kCheckUnusable
};

CheckResult checkSettings(const InputFile& input);

const char* severityName(Severity severity);  // "note", "warning", "error"

}  // namespace zv::tools
