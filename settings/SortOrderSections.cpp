#include "SortOrderSections.h"

#include "Region.h"
#include "SettingsKeys.h"

namespace zv {

namespace {
bool inRange(int section) { return section >= 0 && section < kEditorSectionCount; }

const PlistArray& recordList(const PlistValue* record) {
    static const PlistArray kEmpty;
    const PlistDictionary* dict = record ? record->dictionary() : nullptr;
    const PlistValue* data = dict ? plistLookup(*dict, kData) : nullptr;
    const PlistArray* list = data ? data->array() : nullptr;
    return list ? *list : kEmpty;
}
}  // namespace

std::string_view sortOrderSectionKey(int section) {
    return inRange(section) ? kRegionReadOrder[static_cast<size_t>(section)].key : kDefault;
}

std::string_view sortOrderSectionTitle(int section) {
    return inRange(section) ? kRegionReadOrder[static_cast<size_t>(section)].title : "Unknown";
}

PlistArray sortOrderSectionList(const PlistDictionary& settings, int section) {
    return sortOrderSectionRows(settings, section);
}

const PlistArray& sortOrderSectionRows(const PlistDictionary& settings, int section) {
    return recordList(plistLookup(settings, sortOrderSectionKey(section)));
}

std::string_view sortOrderRowText(const PlistValue& element) {
    const std::string* text = element.string();
    return text ? std::string_view(*text) : std::string_view();
}

}  // namespace zv
