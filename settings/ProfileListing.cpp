#include "ProfileListing.h"

#include "SettingsKeys.h"

namespace zv {

namespace {
constexpr std::string_view kPrefix = "net.quellit.zorvane_";  // 20 characters
constexpr std::string_view kSuffix = ".plist";                // 6 characters
}  // namespace

bool isProfileFileName(std::string_view fileName) {
    // The pattern holds one '*' and no '?', so a like-match is a prefix and
    // a suffix that do not overlap.
    return fileName.size() >= kPrefix.size() + kSuffix.size() && fileName.starts_with(kPrefix) &&
           fileName.ends_with(kSuffix);
}

std::optional<std::string> profileNameFromFileName(std::string_view fileName) {
    if (!isProfileFileName(fileName)) return std::nullopt;
    return std::string(fileName.substr(kPrefix.size(), fileName.size() - kPrefix.size() - kSuffix.size()));
}

std::string profileFileName(std::string_view profileName) {
    return std::string(kPrefix) + std::string(profileName) + std::string(kSuffix);
}

std::string profileIdentifier(std::string_view profileName) { return std::string(kPrefix) + std::string(profileName); }

std::vector<ProfileEntry> listProfiles(const std::vector<std::string>& names, const ProfileReader& read) {
    std::vector<ProfileEntry> entries;
    for (const std::string& fileName : names) {
        auto profileName = profileNameFromFileName(fileName);
        if (!profileName) continue;
        std::string date;
        if (auto dict = read(fileName)) {
            const PlistValue* stamp = plistLookup(*dict, kLastModified);
            if (stamp && stamp->string()) date = *stamp->string();
        }
        entries.push_back({std::move(*profileName), std::move(date)});
    }
    return entries;
}

}  // namespace zv
