#include "ProfileUpload.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "InputFile.h"
#include "SettingsFileNames.h"
#include "SettingsFindings.h"
#include "SettingsKeys.h"
#include "foundation/DeviceFiles.h"
#include "foundation/plist/PlistCodec.h"

namespace zv::screen {

using nlohmann::json;

namespace {

// Why the file cannot become a profile; empty when it can.
std::string unusableReason(const json& found) {
    if (found["status"] != "unusable") return "";
    std::string why;
    for (const auto& finding : found["findings"]) {
        if (finding["severity"] != "error") continue;
        if (!why.empty()) why += "; ";
        why += finding["message"].get<std::string>();
    }
    return "The plug-in cannot use this file: it " + why;
}

std::optional<std::string> nameProblem(std::string_view name) {
    if (name.empty()) return "Give the profile a name.";
    if (name.find('/') != std::string_view::npos) return "A profile name cannot contain \"/\".";
    if (name.find('\0') != std::string_view::npos || !isProfileFileName(profileFileName(name)))
        return "This name cannot be a profile's file name.";
    return std::nullopt;
}

UploadAnswer refusal(unsigned status, std::string why) { return {status, json{{"error", std::move(why)}}}; }

}  // namespace

std::optional<std::string> queryParameter(std::string_view rawQuery, std::string_view key) {
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    while (!rawQuery.empty()) {
        const std::size_t end = std::min(rawQuery.find('&'), rawQuery.size());
        const std::string_view pair = rawQuery.substr(0, end);
        rawQuery.remove_prefix(end == rawQuery.size() ? end : end + 1);
        const std::size_t equals = std::min(pair.find('='), pair.size());
        if (pair.substr(0, equals) != key) continue;
        const std::string_view encoded = equals == pair.size() ? std::string_view() : pair.substr(equals + 1);
        std::string value;
        for (std::size_t i = 0; i < encoded.size(); ++i) {
            if (encoded[i] == '+') {
                value += ' ';
            } else if (encoded[i] != '%') {
                value += encoded[i];
            } else {
                if (i + 2 >= encoded.size()) return std::nullopt;
                const int high = hex(encoded[i + 1]);
                const int low = hex(encoded[i + 2]);
                if (high < 0 || low < 0) return std::nullopt;
                value += static_cast<char>(high * 16 + low);
                i += 2;
            }
        }
        return value;
    }
    return std::nullopt;
}

UploadAnswer checkUpload(std::string bytes, std::string_view fileName) {
    const tools::InputFile input = tools::inputFileFromBytes(std::move(bytes));
    json body = findingsOf(input);
    std::string name;
    if (auto fromFileName = profileNameOfFile(fileName)) {
        name = *fromFileName;
    } else if (input.settings) {
        const PlistValue* stored = plistLookup(*input.settings, kProfileName);
        if (stored && stored->string()) name = *stored->string();
    }
    body["name"] = name;
    if (std::string why = unusableReason(body); !why.empty()) body["error"] = why;
    return {200, std::move(body)};
}

UploadAnswer addUpload(std::string bytes, std::string_view name, bool replace, const std::string& folder) {
    if (auto problem = nameProblem(name)) return refusal(400, *problem);
    tools::InputFile input = tools::inputFileFromBytes(std::move(bytes));
    json body = findingsOf(input);
    if (std::string why = unusableReason(body); !why.empty()) return refusal(422, why);
    if (!input.settings) return refusal(422, "The plug-in cannot use this file.");

    const std::string fileName = profileFileName(name);
    const std::string path = folder + "/" + fileName;
    struct stat status {};
    if (!replace && ::lstat(path.c_str(), &status) == 0) {
        UploadAnswer answer = refusal(409, "A profile named \"" + std::string(name) + "\" exists already.");
        answer.body["exists"] = true;
        return answer;
    }
    PlistDictionary profile = std::move(*input.settings);
    profile[kProfileName] = PlistValue(std::string(name));
    profile[kProfileSaved] = PlistValue(true);
    std::error_code error;
    if (!writeHostFileAtomically(path, plistToXml(PlistValue(std::move(profile))), &error))
        return refusal(500, "The profile could not be written: " + error.message());
    body["name"] = std::string(name);
    body["file"] = fileName;
    return {200, std::move(body)};
}

}  // namespace zv::screen
