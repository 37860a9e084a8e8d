// "Add from this computer": a settings or profile file from the person's
// computer becomes a profile of the device, in two requests of the page.
//
//   POST /upload/check?file=<the file's own name>   body: the file
//     checks the file as `zorvane check` does (SettingsFindings.h) and
//     suggests a profile name: <name> of a file named
//     "net.quellit.zorvane_<name>.plist", else its "profileName" text.
//     Nothing is written.
//   POST /upload/add?name=<profile>[&replace=1]      body: the file
//     checks it again and writes it as the profile <name>: its dictionary
//     with "profileName" <name> and "profileSaved" true (as the Profiles
//     page saves a profile), atomically, as an XML property list, into the
//     preferences folder. An existing profile of that name is replaced only
//     with replace=1.
//
// Refusals, with nothing written: a file the plug-in cannot use (422, its
// reason), a name that is empty, holds "/" or NUL, or is no profile file's
// name by the Profiles page's rule (400), an existing profile without
// replace=1 (409, "exists": true), a write that fails (500, the platform's
// reason). Bodies are bounded by the server (kMaxUploadBytes).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace zv::screen {

inline constexpr std::size_t kMaxUploadBytes = 4 * 1024 * 1024;
inline constexpr std::string_view kUploadPathPrefix = "/upload/";
inline constexpr std::string_view kUploadCheckPath = "/upload/check";
inline constexpr std::string_view kUploadAddPath = "/upload/add";

struct UploadAnswer {
    unsigned status = 200;
    nlohmann::json body;  // {"status", "findings", ...} or {"error", ...}
};

// The value of `key` in a request's raw query (form-encoded: "+" is a
// space, %XX a byte), every byte kept: a NUL in a name must reach the name
// rule, not cut the name short as C strings would. Empty when absent or
// badly escaped.
std::optional<std::string> queryParameter(std::string_view rawQuery, std::string_view key);

// The check: {"status", "findings", "name": the suggestion ("" for none)}.
UploadAnswer checkUpload(std::string bytes, std::string_view fileName);

// The addition into `folder` (the preferences folder's host path):
// {"status", "findings", "name", "file": the profile's file name}.
UploadAnswer addUpload(std::string bytes, std::string_view name, bool replace, const std::string& folder);

}  // namespace zv::screen
