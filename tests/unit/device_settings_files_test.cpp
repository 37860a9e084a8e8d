// The settings load over real files in a temporary device root.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <filesystem>

#include "DeviceSettingsFiles.h"
#include "PlistFixtures.h"
#include "SettingsLoader.h"
#include "SettingsTestFiles.h"
#include "foundation/DeviceFiles.h"
#include "foundation/plist/PlistCodec.h"

namespace zv {
namespace {

namespace fs = std::filesystem;

class DeviceSettingsFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "zv-loader-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        fs::create_directories(root_ + kPreferencesFolder);
    }
    void TearDown() override { fs::remove_all(root_); }

    std::string host(const char* devicePath) const { return root_ + devicePath; }
    void put(const char* devicePath, std::string_view bytes) const {
        ASSERT_TRUE(writeHostFileAtomically(host(devicePath), bytes));
    }
    std::string bytesOf(const char* devicePath) const { return readHostFile(host(devicePath)).value_or(""); }
    std::vector<std::string> preferencesFolder() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(root_ + kPreferencesFolder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string root_;
};

TEST_F(DeviceSettingsFilesTest, MigratesABinaryFileToXmlInPlace) {
    put(kSettingsPath, test::binarySettings());
    auto files = DeviceSettingsFiles::underRoot(root_ + "/");
    PluginSettings settings;

    loadSettingsFrom(files, settings);

    EXPECT_TRUE(settings.enabled);
    ASSERT_TRUE(settings.placement);
    EXPECT_EQ(*settings.placement->find("22"), (PlacementEntry{0, 0}));
    EXPECT_EQ(*settings.placement->find("00"), (PlacementEntry{0, 1}));
    const std::string written = bytesOf(kSettingsPath);
    EXPECT_TRUE(written.starts_with("<?xml")) << written;
    const auto file = plistDictionaryFromBytes(written);
    ASSERT_TRUE(file);
    EXPECT_EQ(*plistLookup(*file, kSchemaVersion)->string(), "1.2");
    EXPECT_EQ(test::namesOf(*file, kLeft), (std::vector<std::string>{"22 VPN", "00 Time"}));
    // Keys the plug-in does not know survive the rewrite with their types.
    EXPECT_EQ(*plistLookup(*file, "blob"), PlistValue(PlistData{0x00, 0x01, 0xff}));
    EXPECT_EQ(*plistLookup(*file, "count"), PlistValue(-3));
    EXPECT_EQ(preferencesFolder(), (std::vector<std::string>{"net.quellit.zorvane.plist"}));

    // A second load finds the current schema and leaves the file alone.
    loadSettingsFrom(files, settings);
    EXPECT_EQ(bytesOf(kSettingsPath), written);
}

TEST_F(DeviceSettingsFilesTest, AdoptsThePreviousGenerationFileAndLeavesItAlone) {
    const std::string previous =
        plistToXml(PlistValue(PlistDictionary{{kEnabled, true}, {kDefault, test::record({"29 Tethering"})}}));
    put(kPreviousGenerationPath, previous);
    put(kSettingsPath, "not a property list");
    auto files = DeviceSettingsFiles::underRoot(root_);
    PluginSettings settings;

    loadSettingsFrom(files, settings);

    EXPECT_EQ(bytesOf(kPreviousGenerationPath), previous);
    const auto adopted = plistDictionaryFromBytes(bytesOf(kSettingsPath));
    ASSERT_TRUE(adopted);
    EXPECT_EQ(test::namesOf(*adopted, kDefault).front(), "31 Tethering");
    EXPECT_EQ(settings.placement->find("31")->alignment, 5);
    EXPECT_EQ(preferencesFolder(),
              (std::vector<std::string>{"net.quellit.zorvane.plist", "net.quellit.zorvel.plist"}));
}

TEST_F(DeviceSettingsFilesTest, AWriteWithNowhereToGoFails) {
    fs::remove_all(root_ + kPreferencesFolder);
    auto files = DeviceSettingsFiles::underRoot(root_);
    EXPECT_FALSE(files.read(kSettingsPath));
    EXPECT_FALSE(files.write(kSettingsPath, {{kEnabled, true}}));
    EXPECT_FALSE(fs::exists(root_ + kPreferencesFolder));
}

}  // namespace
}  // namespace zv
