#include "SettingsMigration.h"

#include "ItemCatalogue.h"
#include "RegionRecord.h"
#include "SettingsKeys.h"

namespace zv {

namespace {

// Takes the list out of a record, lets `change` work on it and puts it back
// as a fresh one-key record. Does nothing when the record has no list.
template <typename Change>
void rewriteRegionList(PlistDictionary& settings, std::string_view listKey, Change change) {
    PlistArray* list = regionList(settings, listKey);
    if (!list) return;
    PlistArray taken = std::move(*list);
    change(taken);
    putRegionRecord(settings, listKey, std::move(taken));
}

void setSchemaVersion(PlistDictionary& settings, const char* version) {
    settings.insert_or_assign(kSchemaVersion, PlistValue(version));
}

void migrateTo11(PlistDictionary& settings) {
    setSchemaVersion(settings, kSchema11);
    rewriteRegionList(settings, kDefault, [](PlistArray& list) { list.emplace_back(kAddedIn11); });
}

void migrateTo12(PlistDictionary& settings) {
    setSchemaVersion(settings, kCurrentSchema);
    rewriteRegionList(settings, kDefault, [](PlistArray& list) {
        applyItemRenumbering(list);
        list.reserve(list.size() + kAddedIn12.size());
        for (std::string_view name : kAddedIn12) list.emplace_back(name);
    });
    for (const char* listKey : {kHidden, kLeft, kCenter, kRight})
        rewriteRegionList(settings, listKey, [](PlistArray& list) { applyItemRenumbering(list); });
}

}  // namespace

std::optional<MigrationStep> nextMigrationStep(const PlistDictionary& settings) {
    const PlistValue* version = plistLookup(settings, kSchemaVersion);
    if (!version) return MigrationStep::To11;
    const std::string* text = version->string();
    if (!text) return std::nullopt;
    if (*text == kSchema10) return MigrationStep::To11;
    if (*text == kSchema11) return MigrationStep::To12;
    return std::nullopt;
}

void applyMigrationStep(MigrationStep step, PlistDictionary& settings) {
    switch (step) {
    case MigrationStep::To11:
        migrateTo11(settings);
        return;
    case MigrationStep::To12:
        migrateTo12(settings);
        return;
    }
}

void applyItemRenumbering(PlistArray& list) {
    for (PlistValue& element : list) {
        const std::string* name = element.string();
        if (!name) continue;
        for (const Renumbering& row : kItemRenumbering) {
            if (*name == row.oldName) {
                element = PlistValue(row.newName);
                break;
            }
        }
    }
}

}  // namespace zv
