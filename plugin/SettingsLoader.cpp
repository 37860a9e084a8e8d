#include "SettingsLoader.h"

#include "DeviceSettingsFiles.h"
#include "PlacementBuilder.h"
#include "RegionRecord.h"
#include "SettingsKeys.h"
#include "SettingsMigration.h"

namespace zv {

namespace {

// A switch's truth value: a number (booleans included) is true when non-zero.
// An absent key, or a value that is not a number, gives the fallback.
bool readSwitch(const PlistDictionary& file, const char* key, bool fallback) {
    const PlistValue* value = plistLookup(file, key);
    if (!value) return fallback;
    return value->boolValue().value_or(fallback);
}

std::optional<PlistDictionary> readOrAdoptSettingsFile(SettingsFileAccess& files) {
    if (auto current = files.read(kSettingsPath)) return current;
    auto previous = files.read(kPreviousGenerationPath);
    // Adopted as it stands; the previous-generation file itself is never touched.
    if (previous) files.write(kSettingsPath, *previous);
    return previous;
}

}  // namespace

void loadSettingsFrom(SettingsFileAccess& files, PluginSettings& settings) {
    std::optional<PlistDictionary> file = readOrAdoptSettingsFile(files);
    if (!file) {
        settings.enabled = false;
        return;
    }

    // The eight switches; a present key overrides the default, false included.
    PluginSettings loaded;
    loaded.enabled = readSwitch(*file, kEnabled, false);
    loaded.enableLockScreenTime = readSwitch(*file, kEnableLockScreenTime, false);
    loaded.hideBattery = readSwitch(*file, kHideBattery, false);
    loaded.bluetoothConnectedOnly = readSwitch(*file, kBluetoothConnectedOnly, false);
    loaded.hideTopGrabberLS = readSwitch(*file, kHideTopGrabberLS, true);
    loaded.hideBottomGrabberLS = readSwitch(*file, kHideBottomGrabberLS, true);
    loaded.shortBreadcrumb = loaded.enabled && readSwitch(*file, kShortBreadcrumb, false);
    loaded.isBreadcrumbExclusive = readSwitch(*file, kIsBreadcrumbExclusive, true);

    // Placement is in force only in a file with a `default` record.
    if (regionRecord(*file, kDefault)) {
        while (auto step = nextMigrationStep(*file)) {
            applyMigrationStep(*step, *file);
            files.write(kSettingsPath, *file);  // a failed write is retried by the next load
        }
        loaded.placement = buildPlacementTable(*file);
    }

    // Every switch and the table are replaced together.
    settings = std::move(loaded);
}

void loadSettingsInto(PluginSettings& settings) {
    DeviceSettingsFiles files;
    loadSettingsFrom(files, settings);
}

}  // namespace zv
