// The sort-order editor's five sections and how a section's rows are read
// from the settings: section i shows the "data" list of the region record
// under kRegionReadOrder[i].key (left, center, right, hidden, default).
//
// Reading is forgiving: a record that is missing, not a dictionary, or whose
// "data" is not a list reads as an empty section, so a damaged file shows
// what can be shown and never stops the page.
#pragma once

#include <string_view>

#include "foundation/plist/PropertyList.h"

namespace zv {

// The settings key of a section's record; any index outside 0..4 reads
// "default", as the table never asks for one.
std::string_view sortOrderSectionKey(int section);
// The header title ("Left" ... "Default"); "Unknown" outside 0..4.
std::string_view sortOrderSectionTitle(int section);

// The list shown in a section: the record's "data" list, or an empty list
// when the record or its list is missing or of another type.
PlistArray sortOrderSectionList(const PlistDictionary& settings, int section);
// The same list read in place, without a copy (a table asks it once per
// row); valid while `settings` is not changed.
const PlistArray& sortOrderSectionRows(const PlistDictionary& settings, int section);

// The text a row shows: the list element when it is a string, else empty.
std::string_view sortOrderRowText(const PlistValue& element);

}  // namespace zv
