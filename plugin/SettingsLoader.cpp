#include "SettingsLoader.h"

#include <algorithm>

#include "DeviceSettingsFiles.h"
#include "PlacementBuilder.h"
#include "RegionRecord.h"
#include "SettingsKeys.h"
#include "SettingsMigration.h"

namespace zv {

namespace {

// A switch's truth value: a number (booleans included) is true when non-zero.
// An absent key, or a value that is not a number, gives the fallback.
bool readSwitch(const PlistDictionary& file, const char* key, bool fallback, LoadDiagnostics* diagnostics) {
    const PlistValue* value = plistLookup(file, key);
    if (!value) return fallback;
    const std::optional<bool> truth = value->boolValue();
    if (!truth && diagnostics) {
        diagnostics->report({LoadFindingKind::SwitchWrongType, key, plistTypeName(*value), fallback ? "true" : "false"});
    }
    return truth.value_or(fallback);
}

void reportUnknownKeys(const PlistDictionary& file, LoadDiagnostics& diagnostics) {
    for (const auto& [key, value] : file) {
        if (std::find(kSettingsFileKeys.begin(), kSettingsFileKeys.end(), key) == kSettingsFileKeys.end())
            diagnostics.report({LoadFindingKind::UnknownKey, key, {}, {}});
    }
}

std::optional<PlistDictionary> readOrAdoptSettingsFile(SettingsFileAccess& files, LoadDiagnostics* diagnostics) {
    std::vector<DroppedPlistKey> dropped;
    const auto read = [&](std::string_view path) {
        dropped.clear();
        return diagnostics ? files.readNotingDroppedKeys(path, dropped) : files.read(path);
    };
    auto file = read(kSettingsPath);
    if (!file) {
        file = read(kPreviousGenerationPath);
        // Adopted as it stands; the previous-generation file itself is never touched.
        if (file) files.write(kSettingsPath, *file);
    }
    if (file && diagnostics) {
        for (DroppedPlistKey& key : dropped) {
            const char* why = key.fault == TextFault::Surrogate ? "surrogate"
                              : key.fault == TextFault::NotUtf8 ? "notUtf8"
                                                                : "nul";
            diagnostics->report({LoadFindingKind::KeyNotText, std::move(key.path), std::move(key.escapedKey), why});
        }
    }
    return file;
}

}  // namespace

void loadSettingsFrom(SettingsFileAccess& files, PluginSettings& settings, LoadDiagnostics* diagnostics) {
    std::optional<PlistDictionary> file = readOrAdoptSettingsFile(files, diagnostics);
    if (!file) {
        settings.enabled = false;
        if (diagnostics) diagnostics->report({LoadFindingKind::SettingsFileUnreadable, {}, {}, {}});
        return;
    }

    // The eight switches; a present key overrides the default, false included.
    // Only these and the table are the loader's: run-time values kept beside
    // them are left alone.
    settings.enabled = readSwitch(*file, kEnabled, false, diagnostics);
    if (diagnostics) {
        const PlistValue* enabled = plistLookup(*file, kEnabled);
        if (!enabled) diagnostics->report({LoadFindingKind::PluginOff, kEnabled, {}, {}});
        else if (enabled->boolValue() == false) diagnostics->report({LoadFindingKind::PluginOff, kEnabled, "false", {}});
    }
    settings.enableLockScreenTime = readSwitch(*file, kEnableLockScreenTime, false, diagnostics);
    settings.hideBattery = readSwitch(*file, kHideBattery, false, diagnostics);
    settings.bluetoothConnectedOnly = readSwitch(*file, kBluetoothConnectedOnly, false, diagnostics);
    settings.hideTopGrabberLS = readSwitch(*file, kHideTopGrabberLS, true, diagnostics);
    settings.hideBottomGrabberLS = readSwitch(*file, kHideBottomGrabberLS, true, diagnostics);
    const bool shortBreadcrumb = readSwitch(*file, kShortBreadcrumb, false, diagnostics);
    settings.shortBreadcrumb = settings.enabled && shortBreadcrumb;
    settings.isBreadcrumbExclusive = readSwitch(*file, kIsBreadcrumbExclusive, true, diagnostics);

    if (diagnostics) reportUnknownKeys(*file, *diagnostics);

    // Placement is in force only in a file with a `default` record.
    settings.placement.reset();
    if (!regionRecord(*file, kDefault)) {
        if (diagnostics) {
            const PlistValue* found = plistLookup(*file, kDefault);
            diagnostics->report({LoadFindingKind::NoPlacement, kDefault, found ? plistTypeName(*found) : "", {}});
        }
        return;
    }
    while (auto step = nextMigrationStep(*file, diagnostics)) {
        applyMigrationStep(*step, *file, diagnostics);
        files.write(kSettingsPath, *file);  // a failed write is retried by the next load
    }
    settings.placement = buildPlacementTable(*file, diagnostics);
}

void loadSettingsInto(PluginSettings& settings) {
    DeviceSettingsFiles files;
    loadSettingsFrom(files, settings);
}

}  // namespace zv
