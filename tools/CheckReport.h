// The findings of `zorvane check` over several files, as lines for a person
// or as one JSON document for scripts.
#pragma once

#include <string>
#include <vector>

#include "SettingsCheck.h"

namespace zv::tools {

struct CheckedFile {
    std::string name;  // as given on the command line
    CheckResult result;
};

// One line per finding, "FILE: SEVERITY: PATH: MESSAGE", or "FILE: clean".
std::string checkReportText(const std::vector<CheckedFile>& files);

// {"status": worst exit status, "files": [{"file", "status", "findings":
// [{"severity", "kind", "path", "message", "suggestion"?}]}]}
std::string checkReportJson(const std::vector<CheckedFile>& files);

// The worst exit status over the files.
int checkExitStatus(const std::vector<CheckedFile>& files);

}  // namespace zv::tools
