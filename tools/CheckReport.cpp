#include "CheckReport.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "Wording.h"

namespace zv::tools {

std::string checkReportText(const std::vector<CheckedFile>& files) {
    std::string text;
    for (const CheckedFile& file : files) {
        const std::string name = printable(file.name);
        if (file.result.findings.empty()) text += name + ": clean\n";
        for (const Finding& finding : file.result.findings) {
            text += name + ": " + severityName(finding.severity) + ": ";
            if (!finding.path.empty()) text += finding.path + ": ";
            text += finding.message + "\n";
        }
    }
    return text;
}

std::string checkReportJson(const std::vector<CheckedFile>& files) {
    nlohmann::ordered_json report{{"status", checkExitStatus(files)}, {"files", nlohmann::ordered_json::array()}};
    for (const CheckedFile& file : files) {
        nlohmann::ordered_json findings = nlohmann::ordered_json::array();
        for (const Finding& finding : file.result.findings) {
            nlohmann::ordered_json entry{{"severity", severityName(finding.severity)},
                                 {"kind", finding.kind},
                                 {"path", finding.path},
                                 {"message", finding.message}};
            if (!finding.suggestion.empty()) entry["suggestion"] = finding.suggestion;
            findings.push_back(std::move(entry));
        }
        report["files"].push_back(
            {{"file", printable(file.name)}, {"status", file.result.exitStatus()}, {"findings", std::move(findings)}});
    }
    return report.dump(2) + "\n";
}

int checkExitStatus(const std::vector<CheckedFile>& files) {
    int status = kCheckClean;
    for (const CheckedFile& file : files) status = std::max(status, file.result.exitStatus());
    return status;
}

}  // namespace zv::tools
