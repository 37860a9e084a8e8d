#include "SettingsFindings.h"

#include <sys/stat.h>

#include <cerrno>

#include "InputFile.h"
#include "SettingsCheck.h"

namespace zv::screen {

using nlohmann::json;

json settingsFindings(const std::string& hostPath) {
    json message{{"type", "findings"}, {"status", "clean"}, {"summary", ""}, {"findings", json::array()}};
    struct stat status {};
    if (::lstat(hostPath.c_str(), &status) != 0 && errno == ENOENT) {
        message["status"] = "absent";
        return message;
    }
    const tools::CheckResult result = tools::checkSettings(tools::readInputFile(hostPath));
    for (const tools::Finding& finding : result.findings) {
        if (finding.severity == tools::Severity::Note) continue;
        message["findings"].push_back({{"severity", tools::severityName(finding.severity)},
                                       {"kind", finding.kind},
                                       {"path", finding.path},
                                       {"message", finding.message}});
    }
    switch (result.exitStatus()) {
    case tools::kCheckUnusable:
        message["status"] = "unusable";
        message["summary"] = "The plug-in is off: it cannot use the settings file.";
        break;
    case tools::kCheckWarnings:
        message["status"] = "warnings";
        message["summary"] = "The plug-in skips part of the settings file.";
        break;
    default:
        break;
    }
    return message;
}

}  // namespace zv::screen
