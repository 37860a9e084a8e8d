#include "LayoutSeed.h"

#include "ItemCatalogue.h"
#include "SettingsKeys.h"

namespace zv {

namespace {
PlistValue regionRecord(PlistArray list) { return PlistValue(PlistDictionary{{kData, PlistValue(std::move(list))}}); }
}  // namespace

std::vector<std::pair<std::string, PlistValue>> freshLayoutEntries() {
    PlistArray seed;
    seed.reserve(kSeedList.size());
    for (std::string_view name : kSeedList) seed.emplace_back(name);
    return {
        {kLeft, regionRecord({})},
        {kCenter, regionRecord({})},
        {kRight, regionRecord({})},
        {kHidden, regionRecord({})},
        {kDefault, regionRecord(std::move(seed))},
        {kSchemaVersion, PlistValue(kCurrentSchema)},
        {kEnabled, PlistValue(true)},
    };
}

bool needsFreshLayout(bool loaded, const PlistDictionary& settings) {
    return !loaded || plistLookup(settings, kDefault) == nullptr;
}

void seedFreshLayout(PlistDictionary& settings) {
    for (auto& [key, value] : freshLayoutEntries()) settings[key] = std::move(value);
}

}  // namespace zv
