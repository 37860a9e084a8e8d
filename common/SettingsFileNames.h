// The names of the Settings bundle's files in the preferences folder: the
// settings file "net.quellit.zorvane.plist" and one profile file per saved
// profile, "net.quellit.zorvane_<name>.plist". The bundle lists, saves,
// loads and shares profiles by these names; the device's screen serves and
// takes files by them. A store identifier names the file
// "<identifier>.plist", so a profile's identifier is its file name without
// the suffix.
//
// A bare file name is a profile file when it begins with the profile prefix
// and ends with the suffix, not overlapping (the name between may be empty,
// and may itself hold "_" or ".plist"), letters compared case-sensitively,
// and holds no "/" and no NUL (so it names an entry of the folder itself).
// The settings file itself is never one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "SettingsKeys.h"

namespace zv {

inline constexpr std::string_view kPropertyListSuffix = ".plist";
inline constexpr std::string_view kSettingsFileName = "net.quellit.zorvane.plist";
inline constexpr std::string_view kProfileIdentifierPrefix = "net.quellit.zorvane_";

static_assert(kSettingsFileName == std::string_view(kSettingsPath).substr(std::string_view(kPreferencesFolder).size()));
static_assert(kSettingsFileName.starts_with(kSettingsIdentifier) && kSettingsFileName.ends_with(kPropertyListSuffix) &&
              kSettingsFileName.size() == std::string_view(kSettingsIdentifier).size() + kPropertyListSuffix.size());
static_assert(kProfileIdentifierPrefix.starts_with(kSettingsIdentifier));

// The store identifier of a profile: "net.quellit.zorvane_<name>".
inline std::string profileIdentifier(std::string_view profileName) {
    return std::string(kProfileIdentifierPrefix).append(profileName);
}

// The file name of a profile: "net.quellit.zorvane_<name>.plist".
inline std::string profileFileName(std::string_view profileName) {
    return profileIdentifier(profileName).append(kPropertyListSuffix);
}

inline bool isProfileFileName(std::string_view fileName) {
    return fileName.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos &&
           fileName.size() >= kProfileIdentifierPrefix.size() + kPropertyListSuffix.size() &&
           fileName.starts_with(kProfileIdentifierPrefix) && fileName.ends_with(kPropertyListSuffix);
}

// The profile name a profile file name gives; none for any other name.
inline std::optional<std::string> profileNameOfFile(std::string_view fileName) {
    if (!isProfileFileName(fileName)) return std::nullopt;
    fileName.remove_prefix(kProfileIdentifierPrefix.size());
    fileName.remove_suffix(kPropertyListSuffix.size());
    return std::string(fileName);
}

}  // namespace zv
