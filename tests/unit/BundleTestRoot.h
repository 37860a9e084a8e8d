// A device root for the Settings bundle's in-process tests.
//
// The platform resolves device paths inside the root named by ZV_DEVICE_ROOT,
// read once per process. A temporary root of our own is created and named
// there before main runs (whatever the environment said, so a test never
// touches a real device root) and removed at exit; each test gets an empty
// preferences folder in it through PreferencesFolderTest.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "SettingsKeys.h"
#include "foundation/DeviceFiles.h"
#include "foundation/plist/PlistCodec.h"

namespace zv::test {

inline std::string ensureUnitDeviceRoot() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zv-bundle-unit-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return {};
    ::setenv("ZV_DEVICE_ROOT", pattern.c_str(), 1);
    static const std::string created = pattern;
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(created, ignored);
    });
    return pattern;
}

// Set before main, so the platform's first look at the root sees it.
inline const std::string kUnitDeviceRoot = ensureUnitDeviceRoot();

// The host path of the preferences folder, and of a file in it.
inline std::filesystem::path preferencesFolder() {
    return std::filesystem::path(resolveDevicePath(kPreferencesFolder)).parent_path();  // without the trailing "/"
}
inline std::filesystem::path preferencesFile(const std::string& name) { return preferencesFolder() / name; }

// The preferences folder readable by all and writable by nobody but root.
inline void makePreferencesFolderReadOnly() {
    using std::filesystem::perms;
    std::filesystem::permissions(preferencesFolder(),
                                 perms::owner_read | perms::owner_exec | perms::others_read | perms::others_exec);
}

// Raw bytes into a file of the preferences folder.
inline void writeRaw(const std::string& name, std::string_view bytes) {
    ASSERT_TRUE(writeHostFileAtomically(preferencesFile(name).string(), bytes));
}
inline void writeDict(const std::string& name, const PlistDictionary& dict) {
    writeRaw(name, plistToXml(PlistValue(dict)));
}
inline std::optional<PlistDictionary> readDict(const std::string& name) {
    auto bytes = readHostFile(preferencesFile(name).string());
    if (!bytes) return std::nullopt;
    return plistDictionaryFromBytes(*bytes);
}

class PreferencesFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(deviceRoot(), kUnitDeviceRoot) << "the device root was read before the test root was set";
        std::filesystem::remove_all(resolveDevicePath("/var"));
        std::filesystem::create_directories(preferencesFolder());
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::permissions(preferencesFolder(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(resolveDevicePath("/var"), ignored);
    }
};

}  // namespace zv::test
