#include "SortOrderMove.h"

#include <algorithm>

#include "Region.h"
#include "SettingsKeys.h"
#include "SortOrderSections.h"

namespace zv {

std::optional<RegionRecords> moveSortOrderRow(const PlistDictionary& settings, SortOrderPosition from,
                                              SortOrderPosition to) {
    auto inSections = [](int section) { return section >= 0 && section < kEditorSectionCount; };
    if (!inSections(from.section) || !inSections(to.section)) return std::nullopt;

    std::array<PlistArray, 5> lists;
    for (int section = 0; section < kEditorSectionCount; ++section)
        lists[static_cast<size_t>(section)] = sortOrderSectionList(settings, section);

    PlistArray& source = lists[static_cast<size_t>(from.section)];
    if (from.row < 0 || static_cast<size_t>(from.row) >= source.size()) return std::nullopt;
    PlistValue moved = std::move(source[static_cast<size_t>(from.row)]);
    source.erase(source.begin() + from.row);

    PlistArray& destination = lists[static_cast<size_t>(to.section)];
    const size_t at = std::min(static_cast<size_t>(std::max(to.row, 0)), destination.size());
    destination.insert(destination.begin() + static_cast<std::ptrdiff_t>(at), std::move(moved));

    RegionRecords records;
    for (size_t i = 0; i < records.size(); ++i) records[i] = PlistDictionary{{kData, PlistValue(std::move(lists[i]))}};
    return records;
}

}  // namespace zv
