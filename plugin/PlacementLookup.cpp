#include "PlacementLookup.h"

#include <cstdio>
#include <string_view>

namespace zv {

const PlacementEntry* placementEntryFor(const PlacementTable& table, std::int32_t type) {
    char key[16];
    std::size_t length = 2;
    if (type >= 0 && type <= 99) {
        key[0] = static_cast<char>('0' + type / 10);
        key[1] = static_cast<char>('0' + type % 10);
    } else {
        const int written = std::snprintf(key, sizeof key, "%02d", type);
        length = written > 0 ? static_cast<std::size_t>(written) : 0;
    }
    return table.find(std::string_view(key, length));
}

}  // namespace zv
