// The root page in the running Settings application: switches reach the
// settings file and the plug-in's notifications, appearance re-reads an
// out-of-date store, and the relaunch needs a confirmation.
#include <sys/mount.h>

#include <fstream>

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

// A finger on a row does what the phone does with it, and each row of the
// page says so: a switch flips on its switch only (to the value it does not
// show), a link opens its page, and a row the table does not select does
// nothing and says so.
TEST_F(SettingsAppTest, ATouchDoesWhatTheRowDoes) {
    const json root = page();
    const json enabled = rowWithKey(root, "enabled");
    EXPECT_EQ(enabled["selectable"], false);
    EXPECT_EQ(enabled["opens"], false);
    const bool before = enabled["value"] == true;
    json flipped = ok({{"cmd", "touch"}, {"label", "Enabled"}, {"part", "switch"}});
    EXPECT_EQ(flipped["did"], "switch");
    EXPECT_EQ(flipped["value"], !before);
    EXPECT_EQ(rowWithKey(page(), "enabled")["value"], !before);
    EXPECT_EQ(ok({{"cmd", "touch"}, {"label", "Enabled"}, {"part", "switch"}})["value"], before);
    EXPECT_EQ(ok({{"cmd", "touch"}, {"label", "Enabled"}})["did"], "nothing");
    EXPECT_EQ(rowWithKey(page(), "enabled")["value"], before);
    EXPECT_NE(refused({{"cmd", "touch"}, {"label", "Enabled"}, {"part", "chevron"}}), "");

    json opened = ok({{"cmd", "touch"}, {"label", "Sort Order"}});
    EXPECT_EQ(opened["did"], "open");
    EXPECT_EQ(opened["depth"], 2);
    // The sort-order editor selects nothing.
    json editor = page();
    EXPECT_EQ(editor["sections"][4]["rows"][0]["selectable"], false);
    EXPECT_EQ(editor["sections"][4]["rows"][0]["opens"], false);
    EXPECT_EQ(ok({{"cmd", "touch"}, {"section", 4}, {"row", 0}})["did"], "nothing");
    EXPECT_EQ(page()["sections"][4]["rows"][0]["selected"], false);
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

// The preferences folder on a filesystem of its own, filled up to its last
// block; unmounted when done.
class FullPreferencesFolder {
public:
    explicit FullPreferencesFolder(std::string folder) : folder_(std::move(folder)) {
        const auto settings = readHostFile(folder_ + "/net.quellit.zorvane.plist");
        if (!settings || ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, "size=64k") != 0) return;
        mounted_ = true;
        std::ofstream(folder_ + "/net.quellit.zorvane.plist") << *settings;
        std::ofstream filler(folder_ + "/filler");
        const std::string block(4096, 'x');
        while (filler << block << std::flush) {
        }
    }
    ~FullPreferencesFolder() {
        if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }

private:
    std::string folder_;
    bool mounted_ = false;
};

TEST_F(SettingsAppTest, ASwitchOnAFullDiskSaysSoAndShowsTheFilesValue) {
    writePreferencesFile("net.quellit.zorvane.plist", {{"schemaVersion", "1.2"}, {"enabled", false}});
    const auto before = preferencesFile();
    FullPreferencesFolder full(hostPath(zv::control::kPreferencesFolder));
    if (!full.mounted()) GTEST_SKIP() << "no filesystem of its own for the folder (mount needs privileges)";
    ASSERT_EQ(preferencesFile(), before);
    startProbe();

    ok({{"cmd", "switch"}, {"label", "Enabled"}, {"value", true}});
    EXPECT_EQ(namesUntilReload(), std::vector<std::string>{kReloadName});  // nothing saved, nothing announced
    json shown = alert();
    EXPECT_TRUE(shown["visible"].get<bool>());
    EXPECT_EQ(shown["title"], "Error, Could not save settings");
    EXPECT_NE(shown["message"].get<std::string>().find("enough space"), std::string::npos) << shown["message"];
    EXPECT_EQ(shown["buttons"], json::array({"Ok"}));
    EXPECT_EQ(rowWithKey(page(), "enabled")["value"], false);
    EXPECT_EQ(preferencesFile(), before);
    ok({{"cmd", "press"}, {"title", "Ok"}});
    EXPECT_FALSE(alert()["visible"].get<bool>());
}

}  // namespace
}  // namespace zv::test
