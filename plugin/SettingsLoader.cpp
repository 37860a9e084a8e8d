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
    // Only these and the table are the loader's: run-time values kept beside
    // them are left alone.
    settings.enabled = readSwitch(*file, kEnabled, false);
    settings.enableLockScreenTime = readSwitch(*file, kEnableLockScreenTime, false);
    settings.hideBattery = readSwitch(*file, kHideBattery, false);
    settings.bluetoothConnectedOnly = readSwitch(*file, kBluetoothConnectedOnly, false);
    settings.hideTopGrabberLS = readSwitch(*file, kHideTopGrabberLS, true);
    settings.hideBottomGrabberLS = readSwitch(*file, kHideBottomGrabberLS, true);
    settings.shortBreadcrumb = settings.enabled && readSwitch(*file, kShortBreadcrumb, false);
    settings.isBreadcrumbExclusive = readSwitch(*file, kIsBreadcrumbExclusive, true);

    // Placement is in force only in a file with a `default` record.
    settings.placement.reset();
    if (!regionRecord(*file, kDefault)) return;
    while (auto step = nextMigrationStep(*file)) {
        applyMigrationStep(*step, *file);
        files.write(kSettingsPath, *file);  // a failed write is retried by the next load
    }
    settings.placement = buildPlacementTable(*file);
}

void loadSettingsInto(PluginSettings& settings) {
    DeviceSettingsFiles files;
    loadSettingsFrom(files, settings);
}

}  // namespace zv
