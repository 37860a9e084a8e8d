#include "ProfileListing.h"

#include "SettingsKeys.h"
#include "foundation/NSPredicate.h"

namespace zv {

namespace {
constexpr std::string_view kPrefix = "net.quellit.zorvane_";  // 20 characters
constexpr std::string_view kSuffix = ".plist";                // 6 characters

// The platform's name match ("SELF like %@"), built once.
const NSPredicate& profileFilePredicate() {
    static const NSPredicate predicate =
        NSPredicate::predicateWithFormat("SELF like %@", std::string(kProfileFilePattern));
    return predicate;
}

// A matching name begins with the prefix and ends with the suffix, without
// overlap: what lies between is the profile name.
std::string stripAffixes(std::string_view fileName) {
    return std::string(fileName.substr(kPrefix.size(), fileName.size() - kPrefix.size() - kSuffix.size()));
}

}  // namespace

bool isProfileFileName(std::string_view fileName) {
    // A name of the folder itself: never a path, never cut short by a NUL.
    if (fileName.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos) return false;
    return profileFilePredicate().evaluateWithObject(fileName);
}

std::optional<std::string> profileNameFromFileName(std::string_view fileName) {
    if (!isProfileFileName(fileName)) return std::nullopt;
    return stripAffixes(fileName);
}

std::string profileFileName(std::string_view profileName) {
    return std::string(kPrefix) + std::string(profileName) + std::string(kSuffix);
}

std::string profileIdentifier(std::string_view profileName) { return std::string(kPrefix) + std::string(profileName); }

std::string profileDate(const std::optional<PlistDictionary>& file) {
    const PlistValue* stamp = file ? plistLookup(*file, kLastModified) : nullptr;
    return stamp && stamp->string() ? *stamp->string() : std::string();
}

std::vector<ProfileEntry> listProfiles(const std::vector<std::string>& names, const ProfileDateReader& dateOf) {
    std::vector<ProfileEntry> entries;
    for (const std::string& fileName : filteredArrayUsingPredicate(names, profileFilePredicate()))
        entries.push_back({stripAffixes(fileName), dateOf(fileName)});
    return entries;
}

}  // namespace zv
