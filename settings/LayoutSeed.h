// The fresh layout the sort-order editor puts into the settings when they
// hold none: left, center, right and hidden each an empty region record,
// default a record with the 27 seed names in catalogue order,
// schemaVersion "1.2" and enabled true. Other keys stay as they are.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "foundation/plist/PropertyList.h"

namespace zv {

// The seeded entries in the order they are set: left, center, right,
// hidden, default, schemaVersion, enabled.
std::vector<std::pair<std::string, PlistValue>> freshLayoutEntries();

// Whether the editor seeds: when the settings could not be loaded, or hold
// no "default" (of whatever type: a present record is never reseeded).
bool needsFreshLayout(bool loaded, const PlistDictionary& settings);

// Sets the fresh layout's entries into `settings`.
void seedFreshLayout(PlistDictionary& settings);

}  // namespace zv
