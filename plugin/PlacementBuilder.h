// Builds the PlacementTable from the five region records of a settings
// dictionary of the current schema.
//
// Lists are read in the order left, center, right, hidden, default, and an
// entry for a key replaces the earlier one, so the list read last decides.
// In left, center and right the order value of an element is its position,
// plus kSpacerOffset once the list's first spacer ("98" or "99") has been
// passed; spacers there are markers and get no entry. In hidden and default
// every element gets an entry, spacers included, with its position as `idx`.
//
// The key of an element is its first two characters. An element that is not
// text, or is shorter than two characters, gets no entry but keeps its
// position. A missing record, or one without a list, is an empty list.
//
// With `diagnostics`, the build also reports records and elements it cannot
// use, names that are not the catalogue's, keys listed more than once and
// what each spacer does.
#pragma once

#include "LoadDiagnostics.h"
#include "PlacementTable.h"
#include "foundation/plist/PropertyList.h"

namespace zv {

PlacementTable buildPlacementTable(const PlistDictionary& settings, LoadDiagnostics* diagnostics = nullptr);

}  // namespace zv
