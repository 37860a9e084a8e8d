// The profile manager's list of saved profiles, built from the entry names
// of the preferences folder.
//
// A name is a profile file when the whole name matches the platform's name
// predicate "SELF like %@" with the pattern "net.quellit.zorvane_*.plist"
// ('*' any run, the empty one included; letters case-sensitive): for an
// entry of the folder, the same rule as SettingsFileNames.h's
// isProfileFileName. The profile name is the file name without the prefix
// and the suffix; a file named "net.quellit.zorvane_.plist" gives the empty
// name. Entries keep the order of the listing: nothing is sorted.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "SettingsFileNames.h"
#include "foundation/plist/PropertyList.h"

namespace zv {

struct ProfileEntry {
    std::string profileName;   // taken from the file name, not from inside the file
    std::string lastModified;  // the file's "lastModified" string, or empty
    bool operator==(const ProfileEntry&) const = default;
};

// The date a profile file is listed with: its "lastModified" string; empty
// when the file could not be read as a dictionary (missing, garbage, empty,
// another root type) or its "lastModified" is missing or not a string.
std::string profileDate(const std::optional<PlistDictionary>& file);

// The date of one profile file given its bare name (see profileDate).
using ProfileDateReader = std::function<std::string(const std::string& fileName)>;

// The entries of the profile files among `names`, in listing order.
std::vector<ProfileEntry> listProfiles(const std::vector<std::string>& names, const ProfileDateReader& dateOf);

}  // namespace zv
