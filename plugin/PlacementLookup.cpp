#include "PlacementLookup.h"

#include <cstdio>

namespace zv::placement_detail {

const PlacementEntry* findFormatted(const PlacementTable& table, std::int32_t type) {
    char key[16];
    const int written = std::snprintf(key, sizeof key, "%02d", type);
    return table.find(std::string_view(key, written > 0 ? static_cast<std::size_t>(written) : 0));
}

}  // namespace zv::placement_detail
