// What the Settings bundle announces, seen from another process: the store
// announces a change only once the settings file was written, the redraw
// follows every change whatever the write gave (a change that could not be
// written is told and taken back), and profile actions that write no
// settings file announce nothing.
#include <filesystem>

#include "SettingsAppFixture.h"

namespace zv::test {
namespace {

class BundlePostsTest : public SettingsAppTest {
protected:
    // A folder where the settings file belongs: every replacement of the
    // file fails (even for root), and reading it fails too.
    void blockSettingsFile() {
        std::filesystem::create_directories(hostPath("/var/mobile/Library/Preferences/net.quellit.zorvane.plist"));
    }
    void unblockSettingsFile() {
        std::filesystem::remove_all(hostPath("/var/mobile/Library/Preferences/net.quellit.zorvane.plist"));
    }
};

TEST_F(BundlePostsTest, AFailedWriteRedrawsWithoutAnnouncingNewSettings) {
    blockSettingsFile();
    ok({{"cmd", "open"}, {"label", "Sort Order"}});
    startProbe();
    ok({{"cmd", "move"}, {"from", {4, 10}}, {"to", {0, 0}}});
    EXPECT_EQ(namesUntilReload(), std::vector<std::string>{kReloadName});
    // The failure is told, and the move taken back.
    EXPECT_EQ(alert()["title"], "Error, Could not save settings");
    ok({{"cmd", "press"}, {"title", "Ok"}});
    EXPECT_EQ(rowTitles(page(), 0), std::vector<std::string>{});

    ok({{"cmd", "back"}});
    ok({{"cmd", "switch"}, {"label", "Hide Battery"}, {"value", true}});
    EXPECT_EQ(namesUntilReload(), std::vector<std::string>{kReloadName});
    EXPECT_EQ(alert()["title"], "Error, Could not save settings");
    ok({{"cmd", "press"}, {"title", "Ok"}});

    // Once the file can be written, the next change writes what the page
    // shows: none of the changes that failed.
    unblockSettingsFile();
    ok({{"cmd", "switch"}, {"label", "Short Breadcrumb"}, {"value", true}});
    EXPECT_EQ(namesUntilReload(), (std::vector<std::string>{kPreferencesName, kReloadName}));
    EXPECT_FALSE(alert()["visible"].get<bool>());
    auto file = preferencesFile();
    ASSERT_TRUE(file);
    EXPECT_FALSE(plistLookup(*file, "hideBattery"));
    EXPECT_EQ(*plistLookup(*file, "shortBreadcrumb"), PlistValue(true));
    const PlistValue* left = plistLookup(*file, "left");
    ASSERT_TRUE(left && left->dictionary());
    EXPECT_EQ(*plistLookup(*left->dictionary(), "data"), PlistValue(PlistArray{}));
}

TEST_F(BundlePostsTest, OnlyLoadAndResetOfProfilesAnnounce) {
    writePreferencesFile("net.quellit.zorvane.plist", {{"enabled", true}, {"profileName", "Mine"}});
    writePreferencesFile("net.quellit.zorvane_good.plist", {{"enabled", false}, {"profileName", "good"}});
    std::filesystem::create_directories(hostPath(zv::control::kPreferencesFolder));
    ASSERT_TRUE(writeHostFileAtomically(hostPath("/var/mobile/Library/Preferences/net.quellit.zorvane_bad.plist"),
                                        "not a property list"));
    ok({{"cmd", "open"}, {"label", "Profiles"}});
    ok({{"cmd", "wait"}, {"ms", 400}});
    startProbe();

    // Saving writes two files and announces nothing; an unreadable profile
    // fails to load and announces nothing. A reset then announces exactly
    // its own two names, so nothing came before them.
    ok({{"cmd", "tap"}, {"section", 0}, {"row", 0}});
    ok({{"cmd", "type"}, {"text", "saved"}});
    ok({{"cmd", "press"}, {"button", 1}});
    ok({{"cmd", "tap"}, {"label", "bad"}});
    ok({{"cmd", "press"}, {"button", 1}});
    EXPECT_EQ(alert()["title"], "Error, Could not load profile");
    ok({{"cmd", "press"}, {"button", 0}});
    // The failed load left the current settings in place.
    EXPECT_EQ(rowTitles(page(), 0), std::vector<std::string>{"saved"});

    ok({{"cmd", "delete"}, {"section", 0}, {"row", 0}});
    ok({{"cmd", "press"}, {"button", 1}});
    EXPECT_EQ(namesUntilReload(), (std::vector<std::string>{kPreferencesName, kReloadName}));

    ok({{"cmd", "tap"}, {"label", "good"}});
    ok({{"cmd", "press"}, {"button", 1}});
    EXPECT_EQ(namesUntilReload(), (std::vector<std::string>{kPreferencesName, kReloadName}));
    EXPECT_EQ(*plistLookup(*preferencesFile(), "enabled"), PlistValue(false));
}

}  // namespace
}  // namespace zv::test
