// The profile manager's list of saved profiles, built from the entry names
// of the preferences folder.
//
// A name is a profile file when the whole name matches
// "net.quellit.zorvane_*.plist" ('*' any run, the empty one included;
// letters case-sensitive). The settings file itself never matches. The
// profile name is the file name without its first 20 characters
// ("net.quellit.zorvane_") and its last 6 (".plist"); a file named
// "net.quellit.zorvane_.plist" gives the empty name. Entries keep the order
// of the listing: nothing is sorted.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/plist/PropertyList.h"

namespace zv {

inline constexpr std::string_view kProfileFilePattern = "net.quellit.zorvane_*.plist";

struct ProfileEntry {
    std::string profileName;   // taken from the file name, not from inside the file
    std::string lastModified;  // the file's "lastModified" string, or empty
    bool operator==(const ProfileEntry&) const = default;
};

// Whether a bare file name is a profile file: it matches the pattern and
// holds no "/" and no NUL (so it names an entry of the preferences folder
// itself). The one rule for what the Profiles page lists, what it saves and
// what the screen lets the browser download.
bool isProfileFileName(std::string_view fileName);
// The profile name of a profile file name; empty when it is not one.
std::optional<std::string> profileNameFromFileName(std::string_view fileName);
// The file name of a profile: "net.quellit.zorvane_%@.plist".
std::string profileFileName(std::string_view profileName);
// The store identifier of a profile: "net.quellit.zorvane_%@".
std::string profileIdentifier(std::string_view profileName);

// The date a profile file is listed with: its "lastModified" string; empty
// when the file could not be read as a dictionary (missing, garbage, empty,
// another root type) or its "lastModified" is missing or not a string.
std::string profileDate(const std::optional<PlistDictionary>& file);

// The date of one profile file given its bare name (see profileDate).
using ProfileDateReader = std::function<std::string(const std::string& fileName)>;

// The entries of the profile files among `names`, in listing order.
std::vector<ProfileEntry> listProfiles(const std::vector<std::string>& names, const ProfileDateReader& dateOf);

}  // namespace zv
