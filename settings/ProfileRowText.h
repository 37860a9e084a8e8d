// The texts of the profile manager's rows.
//
// The Current row's title follows the settings' "profileName" and
// "profileSaved": no name → "Unsaved"; name N saved → N; name N not saved
// (false, absent or not a number) → "N (Unsaved)". A "profileName" that is
// not a string counts as no name. Every row's detail reads
// "Last Modified: " followed by the date text (empty when there is none).
#pragma once

#include <string>
#include <string_view>

#include "foundation/plist/PropertyList.h"

namespace zv {

std::string currentProfileTitle(const PlistValue* profileName, const PlistValue* profileSaved);
std::string currentProfileTitle(const PlistDictionary& settings);

// "Last Modified: %@" with the text; a value that is not a string shows as empty.
std::string lastModifiedDetail(const PlistValue* lastModified);
std::string lastModifiedDetail(std::string_view lastModified);

}  // namespace zv
