// The sort-order editor's move: one row taken from a section and inserted
// into a section (the same or another) at a row, over the five region
// records of the settings.
//
// The result holds all five records rebuilt as fresh one-key dictionaries
// {"data": list} in section order (left, center, right, hidden, default):
// every record is replaced, also those the move did not touch, and any other
// entry a record held is dropped. Within one section the insertion works on
// the list already shortened by the removal, as the table view reorders:
// the moved row ends at the destination row.
//
// A record that is missing or malformed reads as an empty list (its section
// shows no rows) and is written back as an empty record; the other lists are
// kept whole. A move whose source does not name an existing row, or whose
// destination section is outside 0..4, answers nothing: the caller changes
// nothing. A destination row past the end of its list appends.
#pragma once

#include <array>
#include <optional>

#include "foundation/plist/PropertyList.h"

namespace zv {

struct SortOrderPosition {
    int section = 0;
    int row = 0;
};

using RegionRecords = std::array<PlistDictionary, 5>;

std::optional<RegionRecords> moveSortOrderRow(const PlistDictionary& settings, SortOrderPosition from,
                                              SortOrderPosition to);

}  // namespace zv
