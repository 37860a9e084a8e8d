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

void setSchemaVersion(PlistDictionary& settings, const char* version, LoadDiagnostics* diagnostics) {
    if (diagnostics) {
        const PlistValue* before = plistLookup(settings, kSchemaVersion);
        const std::string* text = before ? before->string() : nullptr;
        diagnostics->report({LoadFindingKind::MigrationStep, kSchemaVersion, text ? *text : "", version});
    }
    settings.insert_or_assign(kSchemaVersion, PlistValue(version));
}

void appendName(PlistArray& list, std::string_view name, LoadDiagnostics* diagnostics) {
    if (diagnostics) diagnostics->report({LoadFindingKind::ItemAdded, regionElementPath(kDefault, list.size()),
                                          std::string(name), {}});
    list.emplace_back(name);
}

void migrateTo11(PlistDictionary& settings, LoadDiagnostics* diagnostics) {
    setSchemaVersion(settings, kSchema11, diagnostics);
    rewriteRegionList(settings, kDefault, [&](PlistArray& list) { appendName(list, kAddedIn11, diagnostics); });
}

void migrateTo12(PlistDictionary& settings, LoadDiagnostics* diagnostics) {
    setSchemaVersion(settings, kCurrentSchema, diagnostics);
    rewriteRegionList(settings, kDefault, [&](PlistArray& list) {
        applyItemRenumbering(list, diagnostics, kDefault);
        list.reserve(list.size() + kAddedIn12.size());
        for (std::string_view name : kAddedIn12) appendName(list, name, diagnostics);
    });
    for (const char* listKey : {kHidden, kLeft, kCenter, kRight})
        rewriteRegionList(settings, listKey, [&](PlistArray& list) { applyItemRenumbering(list, diagnostics, listKey); });
}

}  // namespace

std::optional<MigrationStep> nextMigrationStep(const PlistDictionary& settings, LoadDiagnostics* diagnostics) {
    const PlistValue* version = plistLookup(settings, kSchemaVersion);
    if (!version) return MigrationStep::To11;
    const std::string* text = version->string();
    if (!text) {
        if (diagnostics) diagnostics->report({LoadFindingKind::SchemaWrongType, kSchemaVersion, plistTypeName(*version), {}});
        return std::nullopt;
    }
    if (*text == kSchema10) return MigrationStep::To11;
    if (*text == kSchema11) return MigrationStep::To12;
    if (diagnostics && *text != kCurrentSchema)
        diagnostics->report({LoadFindingKind::SchemaUnknown, kSchemaVersion, *text, {}});
    return std::nullopt;
}

void applyMigrationStep(MigrationStep step, PlistDictionary& settings, LoadDiagnostics* diagnostics) {
    switch (step) {
    case MigrationStep::To11:
        migrateTo11(settings, diagnostics);
        return;
    case MigrationStep::To12:
        migrateTo12(settings, diagnostics);
        return;
    }
}

void applyItemRenumbering(PlistArray& list, LoadDiagnostics* diagnostics, std::string_view listKey) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        PlistValue& element = list[i];
        const std::string* name = element.string();
        if (!name) continue;
        for (const Renumbering& row : kItemRenumbering) {
            if (*name == row.oldName) {
                if (diagnostics) diagnostics->report({LoadFindingKind::ItemRenumbered, regionElementPath(listKey, i),
                                                      std::string(row.oldName), std::string(row.newName)});
                element = PlistValue(row.newName);
                break;
            }
        }
    }
}

}  // namespace zv
