// Finding an item type's PlacementEntry. The table is keyed by ItemKey, the
// type written with "%02d"; this forms the key without allocating, because
// the status bar may ask for every item on every layout.
#pragma once

#include <cstdint>

#include "PlacementTable.h"

namespace zv {

// The entry for the item type, or null when the type has no entry.
const PlacementEntry* placementEntryFor(const PlacementTable& table, std::int32_t type);

// The reading convention of the rules that read an alignment without testing
// for the entry first: an absent entry reads as alignment 0 (left).
inline std::int32_t alignmentOrLeft(const PlacementEntry* entry) { return entry ? entry->alignment : 0; }

}  // namespace zv
