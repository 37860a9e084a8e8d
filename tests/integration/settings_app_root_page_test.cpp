// The root page in the running Settings application: switches reach the
// settings file and the plug-in's notifications, appearance re-reads an
// out-of-date store, and the relaunch needs a confirmation.
#include "SettingsAppFixture.h"

namespace zv::test {
namespace {

json rowWithKey(const json& page, const std::string& key) {
    for (const auto& section : page["sections"])
        for (const auto& row : section["rows"])
            if (row.value("key", json()) == key) return row;
    return json();
}

TEST_F(SettingsAppTest, SwitchWritesTheSettingsAndAnnouncesIt) {
    startProbe();
    ok({{"cmd", "switch"}, {"label", "Enabled"}, {"value", true}});
    EXPECT_EQ(namesUntilReload(), (std::vector<std::string>{kPreferencesName, kReloadName}));

    auto file = preferencesFile();
    ASSERT_TRUE(file);
    EXPECT_EQ(*plistLookup(*file, "enabled"), PlistValue(true));
    EXPECT_EQ(*plistLookup(*file, "profileSaved"), PlistValue(false));
    ASSERT_TRUE(plistLookup(*file, "lastModified"));
    EXPECT_TRUE(plistLookup(*file, "lastModified")->isString());
    EXPECT_EQ(rowWithKey(page(), "enabled")["value"], true);

    // Setting the value it already has still writes and announces.
    ok({{"cmd", "switch"}, {"label", "Enabled"}, {"value", true}});
    EXPECT_EQ(namesUntilReload(), (std::vector<std::string>{kPreferencesName, kReloadName}));
}

TEST_F(SettingsAppTest, AppearanceRereadsOnlyAStoreBelowTheCurrentSchema) {
    EXPECT_EQ(rowWithKey(page(), "enabled")["value"], false);  // no file: the default

    writePreferencesFile("net.quellit.zorvane.plist", {{"schemaVersion", "1.2"}, {"enabled", true}});
    ok({{"cmd", "appear"}});
    EXPECT_EQ(rowWithKey(page(), "enabled")["value"], true);  // the empty store had no schema

    writePreferencesFile("net.quellit.zorvane.plist", {{"schemaVersion", "1.2"}, {"enabled", false}});
    ok({{"cmd", "appear"}});
    EXPECT_EQ(rowWithKey(page(), "enabled")["value"], true);  // a store at "1.2" is current
}

TEST_F(SettingsAppTest, RelaunchAsksFirstAndPostsOnceOnYes) {
    startProbe();
    json tap = ok({{"cmd", "tap"}, {"label", "Respring"}});
    EXPECT_TRUE(tap["alert"].get<bool>());
    EXPECT_FALSE(tap["stillSelected"].get<bool>());
    json shown = alert();
    EXPECT_EQ(shown["title"], nullptr);
    EXPECT_EQ(shown["message"], "About to respring! Are you sure?");
    EXPECT_EQ(shown["buttons"], json::array({"No", "Yes"}));
    EXPECT_NE(refused({{"cmd", "back"}}), "");  // the alert is modal
    ok({{"cmd", "press"}, {"title", "No"}});

    ok({{"cmd", "tap"}, {"label", "Respring"}});
    ok({{"cmd", "press"}, {"button", 1}});
    EXPECT_FALSE(alert()["visible"].get<bool>());

    // A change afterwards marks the end of what the app posted.
    ok({{"cmd", "switch"}, {"label", "Enabled"}, {"value", true}});
    const auto names = namesUntilReload();
    EXPECT_EQ(std::count(names.begin(), names.end(), kRespringName), 1) << ::testing::PrintToString(names);
}

}  // namespace
}  // namespace zv::test
