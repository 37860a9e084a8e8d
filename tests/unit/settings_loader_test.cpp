// The settings load through files held in memory: adoption, switches,
// migration with its writes, the table, wrong types and failures.
#include <gtest/gtest.h>

#include <array>

#include "ItemCatalogue.h"
#include "Region.h"
#include "SettingsLoader.h"
#include "SettingsMigration.h"
#include "SettingsTestFiles.h"

namespace zv {
namespace {

using test::MemorySettingsFiles;
using test::namesOf;
using test::record;
using Names = std::vector<std::string>;

PlacementEntry at(Region region, std::int64_t idx) { return {static_cast<std::int32_t>(region), idx}; }

std::int32_t alignmentOf(const PluginSettings& settings, std::string_view key) {
    const PlacementEntry* entry = settings.placement->find(key);
    return entry ? entry->alignment : -1;
}

PluginSettings load(MemorySettingsFiles& files, PluginSettings settings = {}) {
    loadSettingsFrom(files, settings);
    return settings;
}

TEST(SettingsLoader, WorkedExampleFromSchema11) {
    const Names default11{"01 QuietMode (DND)", "02 Airplane", "05 DataNetwork (WiFi)", "08 BatteryPercent",
                          "09 NotCharging", "10 BluetoothBattery", "11 Bluetooth", "12 TTY", "13 Alarm",
                          "16 Location", "17 RotationLock", "19 AirPlay", "20 Siri", "22 CallForward",
                          "23 Activity", "24 ThermalColor", "33 libstatusbar spacer 2"};
    PlistArray defaultList(default11.begin(), default11.end());
    MemorySettingsFiles files;
    files.files[kSettingsPath] = {
        {kEnabled, true},
        {kSchemaVersion, "1.1"},
        {kLeft, record({"03 SignalStrength (Cellular)", "04 Carrier"})},
        {kCenter, record({"00 Time"})},
        {kRight, record({"21 VPN", "32 libstatusbar spacer 1", "07 Battery"})},
        {kHidden, record({"29 Tethering"})},
        {kDefault, PlistDictionary{{kData, defaultList}}},
    };

    const PluginSettings settings = load(files);

    ASSERT_EQ(files.writes.size(), 1u);
    const PlistDictionary& written = files.settingsFile();
    EXPECT_EQ(*plistLookup(written, kSchemaVersion)->string(), "1.2");
    EXPECT_EQ(namesOf(written, kRight), (Names{"22 VPN", "98 libstatusbar spacer 1", "07 Battery"}));
    EXPECT_EQ(namesOf(written, kHidden), (Names{"31 Tethering"}));
    EXPECT_EQ(namesOf(written, kLeft), (Names{"03 SignalStrength (Cellular)", "04 Carrier"}));
    const Names default12{"01 QuietMode (DND)", "02 Airplane", "05 DataNetwork (WiFi)", "08 BatteryPercent",
                          "09 NotCharging", "10 BluetoothBattery", "11 Bluetooth", "12 TTY", "13 Alarm",
                          "16 Location", "17 RotationLock", "19 AirPlay", "20 Siri", "23 CallForward",
                          "24 Activity", "25 ThermalColor", "99 libstatusbar spacer 2", "14 Plus", "21 CarPlay",
                          "32 Breadcrumb", "33 OpenInSafari"};
    EXPECT_EQ(namesOf(written, kDefault), default12);

    ASSERT_TRUE(settings.placement);
    const PlacementTable& table = *settings.placement;
    EXPECT_EQ(*table.find("03"), at(Region::Left, 0));
    EXPECT_EQ(*table.find("04"), at(Region::Left, 1));
    EXPECT_EQ(*table.find("00"), at(Region::Center, 0));
    EXPECT_EQ(*table.find("22"), at(Region::Right, 0));
    EXPECT_EQ(*table.find("07"), at(Region::Right, 18));
    EXPECT_EQ(table.find("98"), nullptr);
    EXPECT_EQ(table.find("31")->alignment, 4);
    for (const std::string& name : default12) EXPECT_EQ(table.find(name.substr(0, 2))->alignment, 5) << name;
    // Every catalogue item but the spacer marker in `right` is placed.
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
        {"all true",
         {{kEnabled, true}, {kEnableLockScreenTime, true}, {kHideBattery, true}, {kBluetoothConnectedOnly, true},
          {kHideTopGrabberLS, true}, {kHideBottomGrabberLS, true}, {kShortBreadcrumb, true},
          {kIsBreadcrumbExclusive, true}},
         {true, true, true, true, true, true, true, true}},
        {"present false overrides a true default",
         {{kHideTopGrabberLS, false}, {kHideBottomGrabberLS, false}, {kIsBreadcrumbExclusive, false}},
         {false, false, false, false, false, false, false, false}},
        {"numbers by truth value",
         {{kEnabled, 2}, {kEnableLockScreenTime, 0.5}, {kHideBattery, -1}, {kHideTopGrabberLS, 0},
          {kHideBottomGrabberLS, 0.0}},
         {true, true, true, false, false, false, false, true}},
        {"values that are not numbers count as absent",
         {{kEnabled, "YES"}, {kHideBattery, PlistArray{true}}, {kHideTopGrabberLS, "NO"},
          {kIsBreadcrumbExclusive, PlistDictionary{}}},
         defaults},
        {"short breadcrumb needs enabled", {{kEnabled, false}, {kShortBreadcrumb, true}}, defaults},
        {"short breadcrumb with enabled", {{kEnabled, 1}, {kShortBreadcrumb, 1}},
         {true, false, false, false, true, true, true, true}},
    };
    for (const Case& c : cases) {
        MemorySettingsFiles files;
        files.files[kSettingsPath] = c.file;
        // Start from the opposite of every default: a present file replaces every switch.
        PluginSettings before{true, true, true, true, false, false, true, false, std::nullopt};
        const PluginSettings s = load(files, before);
        const std::array<bool, 8> got{s.enabled, s.enableLockScreenTime, s.hideBattery, s.bluetoothConnectedOnly,
                                      s.hideTopGrabberLS, s.hideBottomGrabberLS, s.shortBreadcrumb,
                                      s.isBreadcrumbExclusive};
        EXPECT_EQ(got, c.expected) << c.name;
        EXPECT_FALSE(s.placement) << c.name;
        EXPECT_TRUE(files.writes.empty()) << c.name;
    }
}

TEST(SettingsLoader, WritesOncePerMigrationStepAndOnceForAdoption) {
    struct Case {
        const char* name;
        std::optional<PlistValue> schemaVersion;
        bool previousGeneration;
        std::size_t writes;
        const char* finalVersion;  // null: no schemaVersion in the final file
    };
    const std::vector<Case> cases{
        {"1.0", PlistValue("1.0"), false, 2, "1.2"},
        {"no version", std::nullopt, false, 2, "1.2"},
        {"1.1", PlistValue("1.1"), false, 1, "1.2"},
        {"1.2", PlistValue("1.2"), false, 0, "1.2"},
        {"unknown version", PlistValue("2.0"), false, 0, "2.0"},
        {"version not text", PlistValue(1.0), false, 0, nullptr},
        {"adopted without version", std::nullopt, true, 3, "1.2"},
        {"adopted at 1.2", PlistValue("1.2"), true, 1, "1.2"},
    };
    for (const Case& c : cases) {
        PlistDictionary file{{kEnabled, true}, {kDefault, record({"00 Time"})}};
        if (c.schemaVersion) file[kSchemaVersion] = *c.schemaVersion;
        MemorySettingsFiles files;
        files.files[c.previousGeneration ? kPreviousGenerationPath : kSettingsPath] = file;

        const PluginSettings settings = load(files);

        EXPECT_EQ(files.writes.size(), c.writes) << c.name;
        for (const auto& write : files.writes) EXPECT_EQ(write.path, kSettingsPath) << c.name;
        EXPECT_TRUE(settings.placement) << c.name;
        if (files.writes.empty()) continue;
        const PlistValue* version = plistLookup(files.settingsFile(), kSchemaVersion);
        if (c.finalVersion)
            EXPECT_EQ(*version->string(), c.finalVersion) << c.name;
        else
            EXPECT_EQ(version, nullptr) << c.name;
    }
}

TEST(SettingsLoader, AdoptsThePreviousGenerationFileUnchanged) {
    const PlistDictionary previous{
        {kEnabled, true},
        {"someOtherKey", "kept"},
        {kLeft, record({"21 VPN"})},
        {kDefault, PlistDictionary{{kData, PlistArray{"00 Time"}}, {"extra", 1}}},
    };
    MemorySettingsFiles files;
    files.files[kPreviousGenerationPath] = previous;

    const PluginSettings settings = load(files);

    ASSERT_EQ(files.writes.size(), 3u);
    EXPECT_EQ(files.writes[0].dict, previous);  // written before any conversion
    EXPECT_EQ(files.files.at(kPreviousGenerationPath), previous);
    const PlistDictionary& converted = files.settingsFile();
    EXPECT_EQ(namesOf(converted, kLeft), (Names{"22 VPN"}));
    EXPECT_EQ(namesOf(converted, kDefault),
              (Names{"00 Time", "09 NotCharging", "14 Plus", "21 CarPlay", "32 Breadcrumb", "33 OpenInSafari"}));
    EXPECT_EQ(*plistLookup(converted, "someOtherKey")->string(), "kept");
    // A rewritten record holds only its list.
    EXPECT_EQ(plistLookup(converted, kDefault)->dictionary()->size(), 1u);
    EXPECT_EQ(*settings.placement->find("22"), at(Region::Left, 0));
    EXPECT_EQ(alignmentOf(settings, "21"), 5);
}

TEST(SettingsLoader, SettingsFileIsPreferredOverThePreviousGeneration) {
    MemorySettingsFiles files;
    files.files[kSettingsPath] = {{kEnabled, false}};
    files.files[kPreviousGenerationPath] = {{kEnabled, true}};
    EXPECT_FALSE(load(files).enabled);
    EXPECT_TRUE(files.writes.empty());
}

TEST(SettingsLoader, NoFileSwitchesOffAndKeepsEverythingElse) {
    MemorySettingsFiles files;
    files.files[kSettingsPath] = {
        {kEnabled, true}, {kShortBreadcrumb, true}, {kHideTopGrabberLS, false}, {kSchemaVersion, "1.2"},
        {kLeft, record({"11 Bluetooth"})}, {kDefault, record({})}};
    PluginSettings settings = load(files);
    ASSERT_TRUE(settings.placement);

    files.files.clear();
    PluginSettings after = load(files, settings);

    EXPECT_FALSE(after.enabled);
    EXPECT_TRUE(after.shortBreadcrumb);
    EXPECT_FALSE(after.hideTopGrabberLS);
    ASSERT_TRUE(after.placement);
    EXPECT_EQ(*after.placement->find("11"), at(Region::Left, 0));
    EXPECT_TRUE(files.writes.empty());

    // At first start there is nothing at all: the initial switches and no table.
    EXPECT_EQ(load(files).placement, std::nullopt);
    EXPECT_TRUE(load(files).hideBottomGrabberLS);
}

TEST(SettingsLoader, WithoutDefaultThereIsNoTableAndNoMigration) {
    for (const PlistValue& defaultValue : {PlistValue("not a record"), PlistValue(PlistArray{"00 Time"})}) {
        MemorySettingsFiles files;
        files.files[kSettingsPath] = {{kEnabled, true}, {kLeft, record({"00 Time"})}, {kDefault, defaultValue}};
        const PluginSettings settings = load(files);
        EXPECT_TRUE(settings.enabled);
        EXPECT_FALSE(settings.placement);
        EXPECT_TRUE(files.writes.empty());
    }
    MemorySettingsFiles files;
    files.files[kSettingsPath] = {{kEnabled, true}, {kLeft, record({"00 Time"})}};
    EXPECT_FALSE(load(files).placement);
    EXPECT_TRUE(files.writes.empty());
}

TEST(SettingsLoader, LoadReplacesTheLastTable) {
    MemorySettingsFiles files;
    files.files[kSettingsPath] = {{kSchemaVersion, "1.2"}, {kDefault, record({"00 Time"})}};
    PluginSettings settings = load(files);
    ASSERT_TRUE(settings.placement);

    files.files[kSettingsPath] = {{kSchemaVersion, "1.2"}, {kLeft, record({"00 Time"})}};
    EXPECT_FALSE(load(files, settings).placement);

    files.files[kSettingsPath] = {{kSchemaVersion, "1.2"}, {kDefault, record({"01 QuietMode (DND)"})}};
    const PluginSettings reloaded = load(files, settings);
    EXPECT_EQ(reloaded.placement->size(), 1u);
    EXPECT_EQ(reloaded.placement->find("00"), nullptr);
}

TEST(SettingsLoader, FailedWritesStillUseTheConvertedSettings) {
    const PlistDictionary original{{kEnabled, true}, {kHidden, record({"29 Tethering"})}, {kDefault, record({})}};
    MemorySettingsFiles files;
    files.files[kPreviousGenerationPath] = original;
    files.failWrites = true;

    const PluginSettings settings = load(files);

    EXPECT_EQ(files.writes.size(), 3u);
    EXPECT_FALSE(files.files.contains(kSettingsPath));
    EXPECT_EQ(alignmentOf(settings, "31"), 4);
    EXPECT_EQ(alignmentOf(settings, "09"), 5);
    EXPECT_EQ(alignmentOf(settings, "33"), 5);

    // The next load finds the old content again and converts it again.
    files.writes.clear();
    EXPECT_EQ(load(files).placement->entries(), settings.placement->entries());
    EXPECT_EQ(files.writes.size(), 3u);
}

TEST(SettingsLoader, MigrationOfRecordsWithoutAList) {
    // At 1.0 a `default` without a list gets no new name but the version and the write.
    MemorySettingsFiles files;
    const PlistDictionary noList{{"note", "kept"}};
    files.files[kSettingsPath] = {{kSchemaVersion, "1.0"}, {kDefault, noList}, {kLeft, record({"21 VPN"})},
                                  {kRight, PlistDictionary{{kData, "not a list"}}}};

    const PluginSettings settings = load(files);

    ASSERT_EQ(files.writes.size(), 2u);
    EXPECT_EQ(*plistLookup(files.writes[0].dict, kSchemaVersion)->string(), "1.1");
    const PlistDictionary& file = files.settingsFile();
    EXPECT_EQ(*plistLookup(file, kDefault)->dictionary(), noList);
    EXPECT_EQ(*plistLookup(*plistLookup(file, kRight)->dictionary(), kData)->string(), "not a list");
    EXPECT_EQ(namesOf(file, kLeft), (Names{"22 VPN"}));
    EXPECT_EQ(settings.placement->size(), 1u);
    EXPECT_EQ(*settings.placement->find("22"), at(Region::Left, 0));
}

TEST(SettingsLoader, MigrationAppendsEvenWhatIsListedElsewhere) {
    // "32 Breadcrumb" already on the left: the 1.2 step still appends it to
    // `default`, which is read last and so decides.
    MemorySettingsFiles files;
    files.files[kSettingsPath] = {{kSchemaVersion, "1.1"}, {kLeft, record({"32 Breadcrumb", "21 VPN"})},
                                  {kDefault, record({"00 Time"})}};
    const PluginSettings settings = load(files);
    EXPECT_EQ(namesOf(files.settingsFile(), kLeft), (Names{"32 Breadcrumb", "22 VPN"}));
    EXPECT_EQ(namesOf(files.settingsFile(), kDefault),
              (Names{"00 Time", "14 Plus", "21 CarPlay", "32 Breadcrumb", "33 OpenInSafari"}));
    EXPECT_EQ(alignmentOf(settings, "32"), 5);
    EXPECT_EQ(*settings.placement->find("22"), at(Region::Left, 1));
}

TEST(SettingsLoader, WrongTypesAreSkippedWithoutStoppingTheLoad) {
    MemorySettingsFiles files;
    files.files[kSettingsPath] = {
        {kEnabled, true},
        {kSchemaVersion, "1.1"},
        {kLeft, "not a record"},
        {kCenter, PlistDictionary{{kData, PlistDictionary{}}}},
        {kRight, PlistDictionary{{kData, PlistArray{7, "0", "", PlistArray{"01"}, "21 VPN", "04 Carrier"}}}},
        {kHidden, PlistDictionary{{"nodata", PlistArray{"01"}}}},
        {kDefault, PlistDictionary{{kData, PlistArray{true, "05 DataNetwork (WiFi)"}}}},
    };

    const PluginSettings settings = load(files);

    EXPECT_TRUE(settings.enabled);
    ASSERT_EQ(files.writes.size(), 1u);
    const PlistDictionary& file = files.settingsFile();
    EXPECT_EQ(*plistLookup(file, kLeft)->string(), "not a record");
    // Elements that are not names stay where they were.
    EXPECT_EQ(namesOf(file, kRight), (Names{"<?>", "0", "", "<?>", "22 VPN", "04 Carrier"}));
    EXPECT_EQ(namesOf(file, kDefault).size(), 6u);
    // Skipped elements keep their positions.
    EXPECT_EQ(*settings.placement->find("22"), at(Region::Right, 4));
    EXPECT_EQ(*settings.placement->find("04"), at(Region::Right, 5));
    EXPECT_EQ(alignmentOf(settings, "05"), 5);
    EXPECT_EQ(settings.placement->size(), 7u);  // 22, 04, 05 and the four 1.2 names
}

TEST(SettingsMigration, RenumberingChangesEachWholeNameAtMostOnce) {
    PlistArray list{"21 VPN", "22 CallForward", "23 Activity", "24 ThermalColor", "29 Tethering",
                    "32 libstatusbar spacer 1", "33 libstatusbar spacer 2", "21 VPN ", "21", "22 VPN", 21};
    applyItemRenumbering(list);
    const PlistArray expected{"22 VPN", "23 CallForward", "24 Activity", "25 ThermalColor", "31 Tethering",
                              "98 libstatusbar spacer 1", "99 libstatusbar spacer 2", "21 VPN ", "21", "22 VPN", 21};
    EXPECT_EQ(list, expected);
}

TEST(SettingsMigration, FreshLayoutIsCurrent) {
    PlistArray seed(kSeedList.begin(), kSeedList.end());
    const PlistDictionary fresh{{kSchemaVersion, "1.2"}, {kDefault, PlistDictionary{{kData, seed}}}};
    EXPECT_EQ(nextMigrationStep(fresh), std::nullopt);
}

}  // namespace
}  // namespace zv
