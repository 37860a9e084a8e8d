// Finding an item type's PlacementEntry. The table is keyed by ItemKey, the
// type written with "%02d"; the key is formed without allocating or
// formatting for the types 0 to 99, because the status bar may ask for every
// item on every layout.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "PlacementTable.h"

namespace zv {

namespace placement_detail {
// "00" to "99" back to back: the key of a type in 0..99 is two characters of it.
inline constexpr auto kTwoDigitKeys = [] {
    std::array<char, 200> text{};
    for (int type = 0; type < 100; ++type) {
        text[static_cast<std::size_t>(2 * type)] = static_cast<char>('0' + type / 10);
        text[static_cast<std::size_t>(2 * type + 1)] = static_cast<char>('0' + type % 10);
    }
    return text;
}();

// The key of any other type ("100", "-1").
const PlacementEntry* findFormatted(const PlacementTable& table, std::int32_t type);
}  // namespace placement_detail

// The entry for the item type, or null when the type has no entry.
inline const PlacementEntry* placementEntryFor(const PlacementTable& table, std::int32_t type) {
    if (type >= 0 && type <= 99)
        return table.find(std::string_view(placement_detail::kTwoDigitKeys.data() + 2 * type, 2));
    return placement_detail::findFormatted(table, type);
}

// The reading convention of the rules that read an alignment without testing
// for the entry first: an absent entry reads as alignment 0 (left).
inline std::int32_t alignmentOrLeft(const PlacementEntry* entry) { return entry ? entry->alignment : 0; }

}  // namespace zv
