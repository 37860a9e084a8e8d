#include "RegionRecord.h"

#include <string>

#include "SettingsKeys.h"

namespace zv {

const PlistDictionary* regionRecord(const PlistDictionary& settings, std::string_view listKey) {
    const PlistValue* record = plistLookup(settings, listKey);
    return record ? record->dictionary() : nullptr;
}

const PlistArray* regionList(const PlistDictionary& settings, std::string_view listKey) {
    const PlistDictionary* record = regionRecord(settings, listKey);
    if (!record) return nullptr;
    const PlistValue* list = plistLookup(*record, kData);
    return list ? list->array() : nullptr;
}

PlistArray* regionList(PlistDictionary& settings, std::string_view listKey) {
    auto record = settings.find(listKey);
    if (record == settings.end() || !record->second.dictionary()) return nullptr;
    PlistDictionary& fields = *record->second.dictionary();
    auto list = fields.find(std::string_view(kData));
    return list == fields.end() ? nullptr : list->second.array();
}

void reportMissingRegionList(const PlistDictionary& settings, std::string_view listKey, LoadDiagnostics& diagnostics) {
    const PlistValue* record = plistLookup(settings, listKey);
    if (!record) return;
    const PlistDictionary* fields = record->dictionary();
    if (!fields) {
        diagnostics.report({LoadFindingKind::RegionRecordWrongType, std::string(listKey), plistTypeName(*record), {}});
        return;
    }
    const PlistValue* list = plistLookup(*fields, kData);
    if (!list) {
        diagnostics.report({LoadFindingKind::RegionListMissing, regionListPath(listKey), {}, {}});
    } else if (!list->array()) {
        diagnostics.report({LoadFindingKind::RegionListWrongType, regionListPath(listKey), plistTypeName(*list), {}});
    }
}

void putRegionRecord(PlistDictionary& settings, std::string_view listKey, PlistArray list) {
    PlistDictionary record;
    record.emplace(kData, PlistValue(std::move(list)));
    settings.insert_or_assign(std::string(listKey), PlistValue(std::move(record)));
}

}  // namespace zv
