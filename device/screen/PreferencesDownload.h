// "This computer" in the phone's open-in menu: the browser downloads a file
// of the device's preferences folder (/var/mobile/Library/Preferences of the
// device root) at /download/<name>. Only the settings file
// "net.quellit.zorvane.plist" and the profile files the Profiles page lists
// (SettingsFileNames.h's isProfileFileName: the same rule) are served, and
// only as plain files of that folder: however the request is written
// (percent-encoded, "/", NUL, a symlink in the folder), no other file is
// ever opened.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zv::screen {

inline constexpr std::string_view kDownloadPathPrefix = "/download/";
inline constexpr std::size_t kMaxDownloadBytes = 4 * 1024 * 1024;

struct DownloadRefusal {
    unsigned status = 0;  // HTTP status: 403 not such a name or not a plain file, 404 missing
    std::string why;
};

// The file name after kDownloadPathPrefix in the request's path, as the
// HTTP server hands the path over: already percent-decoded (libsoup decodes
// once and refuses encoded slashes and NUL bytes itself), so it is never
// decoded again. It must be the settings file's or a profile file's name
// (which holds no "/" and no NUL). Empty, with `refusal` filled, otherwise.
std::optional<std::string> downloadName(std::string_view name, DownloadRefusal& refusal);

// The bytes of `name` in `folder` (a host path), opened relative to the
// folder without following a symlink; a plain file of at most
// kMaxDownloadBytes. Empty, with `refusal` filled, otherwise.
std::optional<std::string> readPreferencesFile(const std::string& folder, const std::string& name,
                                               DownloadRefusal& refusal);

// The Content-Disposition of the download of `name`: an attachment named
// both as a quoted filename (anything but letters, digits, ".", "_", "-"
// and spaces replaced by "_") and, whole, percent-encoded in UTF-8.
std::string contentDisposition(std::string_view name);

}  // namespace zv::screen
