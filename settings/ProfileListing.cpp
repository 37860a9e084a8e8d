#include "ProfileListing.h"

#include "SettingsKeys.h"
#include "foundation/NSPredicate.h"

namespace zv {

namespace {

// The platform's name match ("SELF like %@") of the profile file names'
// pattern: the prefix, any run, the suffix. Built once.
const NSPredicate& profileFilePredicate() {
    static const NSPredicate predicate = NSPredicate::predicateWithFormat(
        "SELF like %@", std::string(kProfileIdentifierPrefix) + "*" + std::string(kPropertyListSuffix));
    return predicate;
}

}  // namespace

std::string profileDate(const std::optional<PlistDictionary>& file) {
    const PlistValue* stamp = file ? plistLookup(*file, kLastModified) : nullptr;
    return stamp && stamp->string() ? *stamp->string() : std::string();
}

std::vector<ProfileEntry> listProfiles(const std::vector<std::string>& names, const ProfileDateReader& dateOf) {
    std::vector<ProfileEntry> entries;
    for (const std::string& fileName : filteredArrayUsingPredicate(names, profileFilePredicate()))
        if (auto profileName = profileNameOfFile(fileName)) entries.push_back({std::move(*profileName), dateOf(fileName)});
    return entries;
}

}  // namespace zv
