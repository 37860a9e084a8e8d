// The settings load through files held in memory: adoption, switches,
// migration with its writes, the table, wrong types and failures.
#include <gtest/gtest.h>

#include <array>

#include "ItemCatalogue.h"
#include "SettingsLoader.h"
#include "SettingsMigration.h"
#include "SettingsTestFiles.h"

namespace zv {
namespace {

using test::MemorySettingsFiles;
using test::namesOf;
using test::record;
using Names = std::vector<std::string>;

PluginSettings load(MemorySettingsFiles& files, PluginSettings settings = {}) {
    loadSettingsFrom(files, settings);
    return settings;
}

std::int32_t alignmentOf(const PluginSettings& settings, std::string_view key) {
    const PlacementEntry* entry = settings.placement->find(key);
    return entry ? entry->alignment : -1;
}

TEST(SettingsLoader, WorkedExampleFromSchema11) {
    MemorySettingsFiles files;
    files.files[kSettingsPath] = {
        {kSchemaVersion, "1.1"},
        {kLeft, record({"03 SignalStrength (Cellular)", "04 Carrier"})},
        {kCenter, record({"00 Time"})},
        {kRight, record({"21 VPN", "32 libstatusbar spacer 1", "07 Battery"})},
        {kHidden, record({"29 Tethering"})},
        {kDefault, record({"01 QuietMode (DND)", "02 Airplane", "05 DataNetwork (WiFi)", "08 BatteryPercent",
                           "09 NotCharging", "10 BluetoothBattery", "11 Bluetooth", "12 TTY", "13 Alarm",
                           "16 Location", "17 RotationLock", "19 AirPlay", "20 Siri", "22 CallForward",
                           "23 Activity", "24 ThermalColor", "33 libstatusbar spacer 2"})},
    };

    const PluginSettings settings = load(files);

    ASSERT_EQ(files.writes.size(), 1u);
    const PlistDictionary& file = files.settingsFile();
    EXPECT_EQ(*plistLookup(file, kSchemaVersion)->string(), "1.2");
    EXPECT_EQ(namesOf(file, kRight), (Names{"22 VPN", "98 libstatusbar spacer 1", "07 Battery"}));
    EXPECT_EQ(namesOf(file, kHidden), (Names{"31 Tethering"}));
    const Names default12{"01 QuietMode (DND)", "02 Airplane", "05 DataNetwork (WiFi)", "08 BatteryPercent",
                          "09 NotCharging", "10 BluetoothBattery", "11 Bluetooth", "12 TTY", "13 Alarm",
                          "16 Location", "17 RotationLock", "19 AirPlay", "20 Siri", "23 CallForward",
                          "24 Activity", "25 ThermalColor", "99 libstatusbar spacer 2", "14 Plus", "21 CarPlay",
                          "32 Breadcrumb", "33 OpenInSafari"};
    EXPECT_EQ(namesOf(file, kDefault), default12);

    const PlacementTable& table = *settings.placement;
    EXPECT_EQ(*table.find("03"), (PlacementEntry{0, 0}));
    EXPECT_EQ(*table.find("04"), (PlacementEntry{0, 1}));
    EXPECT_EQ(*table.find("00"), (PlacementEntry{2, 0}));
    EXPECT_EQ(*table.find("22"), (PlacementEntry{1, 0}));
    EXPECT_EQ(*table.find("07"), (PlacementEntry{1, 18}));
    EXPECT_EQ(table.find("98"), nullptr);
    EXPECT_EQ(alignmentOf(settings, "31"), 4);
    for (const std::string& name : default12) EXPECT_EQ(alignmentOf(settings, name.substr(0, 2)), 5) << name;
    // Every catalogue name but the spacer marker in `right` is placed.
    EXPECT_EQ(table.size(), kItemCatalogue.size() - 1);
}

TEST(SettingsLoader, SwitchesTakeTruthValuesAndDefaults) {
    struct Case {
        const char* name;
        PlistDictionary file;
        std::array<bool, 8> expected;  // in PluginSettings field order
    };
    const std::array<bool, 8> defaults{false, false, false, false, true, true, false, true};
    const std::vector<Case> cases{
        {"empty file", {}, defaults},
        {"present false overrides a true default",
         {{kHideTopGrabberLS, false}, {kHideBottomGrabberLS, false}, {kIsBreadcrumbExclusive, false}},
         {false, false, false, false, false, false, false, false}},
        {"numbers by truth value",
         {{kEnabled, 2}, {kEnableLockScreenTime, 0.5}, {kHideBattery, -1}, {kBluetoothConnectedOnly, true},
          {kHideTopGrabberLS, 0}, {kHideBottomGrabberLS, 0.0}, {kShortBreadcrumb, 1}},
         {true, true, true, true, false, false, true, true}},
        {"values that are not numbers count as absent",
         {{kEnabled, "YES"}, {kHideBattery, PlistArray{true}}, {kHideTopGrabberLS, "NO"},
          {kIsBreadcrumbExclusive, PlistDictionary{}}},
         defaults},
        {"short breadcrumb needs enabled", {{kEnabled, false}, {kShortBreadcrumb, true}}, defaults},
    };
    for (const Case& c : cases) {
        MemorySettingsFiles files;
        files.files[kSettingsPath] = c.file;
        // Start from the opposite of every default: a readable file sets every switch.
        const PluginSettings s = load(files, {true, true, true, true, false, false, true, false, std::nullopt});
        const std::array<bool, 8> got{s.enabled, s.enableLockScreenTime, s.hideBattery, s.bluetoothConnectedOnly,
                                      s.hideTopGrabberLS, s.hideBottomGrabberLS, s.shortBreadcrumb,
                                      s.isBreadcrumbExclusive};
        EXPECT_EQ(got, c.expected) << c.name;
        EXPECT_TRUE(files.writes.empty()) << c.name;
    }
}

TEST(SettingsLoader, WritesOncePerMigrationStepAndOnceForAdoption) {
    struct Case {
        const char* name;
        std::optional<PlistValue> schemaVersion;
        bool previousGeneration;
        std::size_t writes;
    };
    const std::vector<Case> cases{
        {"1.0", PlistValue("1.0"), false, 2},
        {"no version", std::nullopt, false, 2},
        {"1.1", PlistValue("1.1"), false, 1},
        {"1.2", PlistValue("1.2"), false, 0},
        {"unknown version", PlistValue("2.0"), false, 0},
        {"version not text", PlistValue(1.0), false, 0},
        {"adopted without version", std::nullopt, true, 3},
        {"adopted at 1.2", PlistValue("1.2"), true, 1},
    };
    for (const Case& c : cases) {
        PlistDictionary file{{kEnabled, true}, {"otherKey", "kept"}, {kDefault, record({"00 Time"})}};
        if (c.schemaVersion) file[kSchemaVersion] = *c.schemaVersion;
        MemorySettingsFiles files;
        files.files[c.previousGeneration ? kPreviousGenerationPath : kSettingsPath] = file;

        const PluginSettings settings = load(files);

        ASSERT_EQ(files.writes.size(), c.writes) << c.name;
        EXPECT_EQ(alignmentOf(settings, "00"), 5) << c.name;
        for (const auto& write : files.writes) EXPECT_EQ(write.path, kSettingsPath) << c.name;
        if (c.previousGeneration) {
            EXPECT_EQ(files.writes.front().dict, file) << c.name;  // adopted before any conversion
            EXPECT_EQ(files.files.at(kPreviousGenerationPath), file) << c.name;
        }
        if (c.writes > 0) {
            EXPECT_EQ(*plistLookup(files.settingsFile(), "otherKey")->string(), "kept") << c.name;
        }
    }
}

TEST(SettingsLoader, NoFileSwitchesOffAndKeepsEverythingElse) {
    MemorySettingsFiles files;
    files.files[kSettingsPath] = {{kEnabled, true}, {kShortBreadcrumb, true}, {kHideTopGrabberLS, false},
                                  {kSchemaVersion, "1.2"}, {kLeft, record({"11 Bluetooth"})}, {kDefault, record({})}};
    const PluginSettings loaded = load(files);

    files.files.clear();
    const PluginSettings after = load(files, loaded);

    EXPECT_FALSE(after.enabled);
    EXPECT_TRUE(after.shortBreadcrumb);
    EXPECT_FALSE(after.hideTopGrabberLS);
    EXPECT_EQ(*after.placement->find("11"), (PlacementEntry{0, 0}));
    EXPECT_TRUE(files.writes.empty());
}

TEST(SettingsLoader, FailedWritesStillUseTheConvertedSettings) {
    MemorySettingsFiles files;
    files.files[kPreviousGenerationPath] = {{kHidden, record({"29 Tethering"})}, {kDefault, record({})}};
    files.failWrites = true;

    const PluginSettings settings = load(files);

    EXPECT_EQ(files.writes.size(), 3u);
    EXPECT_FALSE(files.files.contains(kSettingsPath));
    EXPECT_EQ(alignmentOf(settings, "31"), 4);
    EXPECT_EQ(alignmentOf(settings, "09"), 5);
    EXPECT_EQ(alignmentOf(settings, "33"), 5);
}

TEST(SettingsLoader, WrongTypesAreSkippedWithoutStoppingTheLoad) {
    const PlistDictionary noList{{"note", "kept"}};
    MemorySettingsFiles files;
    files.files[kSettingsPath] = {
        {kEnabled, true},
        {kLeft, "not a record"},
        {kCenter, PlistDictionary{{kData, "not a list"}, {"extra", 1}}},
        {kRight, PlistDictionary{{kData, PlistArray{7, "0", "", PlistArray{"01"}, "21 VPN", "04 Carrier"}}}},
        {kDefault, noList},
    };

    const PluginSettings settings = load(files);

    EXPECT_TRUE(settings.enabled);
    ASSERT_EQ(files.writes.size(), 2u);  // from "1.0": `default` without a list is still migrated
    const PlistDictionary& file = files.settingsFile();
    EXPECT_EQ(*plistLookup(file, kLeft)->string(), "not a record");
    EXPECT_EQ(plistLookup(file, kCenter)->dictionary()->size(), 2u);  // without a list: untouched
    EXPECT_EQ(*plistLookup(file, kDefault)->dictionary(), noList);
    // Elements that are not names stay in the file, and keep their positions.
    EXPECT_EQ(namesOf(file, kRight), (Names{"<?>", "0", "", "<?>", "22 VPN", "04 Carrier"}));
    EXPECT_EQ(*settings.placement->find("22"), (PlacementEntry{1, 4}));
    EXPECT_EQ(*settings.placement->find("04"), (PlacementEntry{1, 5}));
    EXPECT_EQ(settings.placement->size(), 2u);

    // Without a `default` record (or with one that is not a record) nothing moves.
    for (const PlistValue& notARecord : {PlistValue("text"), PlistValue(PlistArray{"00 Time"})}) {
        files.files[kSettingsPath] = {{kEnabled, true}, {kLeft, record({"00 Time"})}, {kDefault, notARecord}};
        files.writes.clear();
        EXPECT_FALSE(load(files).placement);
        EXPECT_TRUE(files.writes.empty());
    }
}

TEST(SettingsMigration, RenumberingChangesEachWholeNameAtMostOnce) {
    PlistArray list{"21 VPN", "22 CallForward", "23 Activity", "24 ThermalColor", "29 Tethering",
                    "32 libstatusbar spacer 1", "33 libstatusbar spacer 2", "21 VPN ", "21", 21};
    applyItemRenumbering(list);
    const PlistArray expected{"22 VPN", "23 CallForward", "24 Activity", "25 ThermalColor", "31 Tethering",
                              "98 libstatusbar spacer 1", "99 libstatusbar spacer 2", "21 VPN ", "21", 21};
    EXPECT_EQ(list, expected);
}

}  // namespace
}  // namespace zv
