#include "SettingsFindings.h"

#include <sys/stat.h>

#include <cerrno>

#include "InputFile.h"
#include "SettingsCheck.h"

namespace zv::screen {

using nlohmann::json;

json findingsOf(const tools::InputFile& input) {
    json result{{"status", "clean"}, {"findings", json::array()}};
    const tools::CheckResult check = tools::checkSettings(input);
    for (const tools::Finding& finding : check.findings) {
        if (finding.severity == tools::Severity::Note) continue;
        result["findings"].push_back({{"severity", tools::severityName(finding.severity)},
                                      {"kind", finding.kind},
                                      {"path", finding.path},
                                      {"message", finding.message}});
    }
    const int status = check.exitStatus();
    if (status == tools::kCheckUnusable) result["status"] = "unusable";
    if (status == tools::kCheckWarnings) result["status"] = "warnings";
    return result;
}

json settingsFindings(const std::string& hostPath) {
    json message{{"type", "findings"}, {"status", "absent"}, {"summary", ""}, {"findings", json::array()}};
    struct stat status {};
    if (::lstat(hostPath.c_str(), &status) != 0 && errno == ENOENT) return message;
    const json found = findingsOf(tools::readInputFile(hostPath));
    message["status"] = found["status"];
    message["findings"] = found["findings"];
    if (found["status"] == "unusable") message["summary"] = "The plug-in is off: it cannot use the settings file.";
    if (found["status"] == "warnings") message["summary"] = "The plug-in skips part of the settings file.";
    return message;
}

}  // namespace zv::screen
