#include "PlacementBuilder.h"

#include "ItemCatalogue.h"
#include "Region.h"
#include "RegionRecord.h"

namespace zv {

namespace {

bool isOrderedRegion(Region region) {
    return region == Region::Left || region == Region::Center || region == Region::Right;
}

bool isSpacerKey(std::string_view key) { return key == kSpacerKey1 || key == kSpacerKey2; }

}  // namespace

PlacementTable buildPlacementTable(const PlistDictionary& settings) {
    PlacementTable table;
    for (const RegionList& region : kRegionReadOrder) {
        const PlistArray* list = regionList(settings, region.key);
        if (!list) continue;
        const bool ordered = isOrderedRegion(region.region);
        const auto alignment = static_cast<std::int32_t>(region.region);
        std::int64_t offset = 0;
        for (std::size_t i = 0; i < list->size(); ++i) {
            const std::string* name = (*list)[i].string();
            if (!name || name->size() < 2) continue;
            const std::string_view key = std::string_view(*name).substr(0, 2);
            if (ordered && isSpacerKey(key)) {
                offset = kSpacerOffset;
                continue;
            }
            table.set(key, PlacementEntry{alignment, static_cast<std::int64_t>(i) + offset});
        }
    }
    return table;
}

}  // namespace zv
