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

#include "foundation/PropertyList.h"

namespace zv {

inline constexpr std::string_view kProfileFilePattern = "net.quellit.zorvane_*.plist";

struct ProfileEntry {
    std::string profileName;   // taken from the file name, not from inside the file
    std::string lastModified;  // the file's "lastModified" string, or empty
    bool operator==(const ProfileEntry&) const = default;
};

// Whether a bare file name is a profile file.
bool isProfileFileName(std::string_view fileName);
// The profile name of a profile file name; empty when it is not one.
std::optional<std::string> profileNameFromFileName(std::string_view fileName);
// The file name of a profile: "net.quellit.zorvane_%@.plist".
std::string profileFileName(std::string_view profileName);
// The store identifier of a profile: "net.quellit.zorvane_%@".
std::string profileIdentifier(std::string_view profileName);

// Reads one profile file given its bare name; empty when it cannot be read
// as a dictionary.
using ProfileReader = std::function<std::optional<PlistDictionary>(const std::string& fileName)>;

// The entries of the profile files among `names`, in listing order. A file
// that cannot be read, or whose "lastModified" is missing or not a string,
// is listed with an empty date.
std::vector<ProfileEntry> listProfiles(const std::vector<std::string>& names, const ProfileReader& read);

}  // namespace zv
