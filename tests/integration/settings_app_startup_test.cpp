// The Settings application as a process: it injects the plug-in like any
// application, finds the bundle through its PreferenceLoader entry, shows the
// root page, and keeps answering when something is missing or asked wrongly.
#include "SettingsAppFixture.h"

namespace zv::test {
namespace {

TEST_F(SettingsAppTest, LoadsTheBundleAndShowsItsRootPage) {
    json status = ok({{"cmd", "status"}});
    EXPECT_EQ(status["args"][0], kSettingsAppPath);
    EXPECT_TRUE(status["loaded"].get<bool>()) << status["loadError"];
    EXPECT_EQ(status["bundle"], "/Library/PreferenceBundles/Zorvane.bundle");
    EXPECT_EQ(status["rootClass"], "ZorvaneSettingsListController");
    for (const char* page : {"ZorvaneSettingsListController", "ZVSortOrderController", "ZVProfileController"})
        EXPECT_NE(std::find(status["pageClasses"].begin(), status["pageClasses"].end(), page), status["pageClasses"].end())
            << page;
    // An application: the plug-in is injected here too.
    EXPECT_EQ(status["injection"]["loaded"], json::array({"/Library/MobileSubstrate/DynamicLibraries/Zorvane.dylib"}));

    json root = page();
    EXPECT_EQ(root["depth"], 1);
    EXPECT_EQ(root["title"], "Zorvane");
    // Every setting the plug-in reads has a switch; with no settings file
    // each shows its default.
    std::map<std::string, json> switches;
    std::vector<std::string> links;
    for (const auto& section : root["sections"])
        for (const auto& row : section["rows"]) {
            if (row["kind"] == "PSSwitchCell") switches[row["key"].get<std::string>()] = row["value"];
            if (row["kind"] == "PSLinkCell") links.push_back(row["link"].get<std::string>());
        }
    for (const char* key : {"enabled", "enableLockScreenTime", "hideBattery", "bluetoothConnectedOnly",
                            "hideTopGrabberLS", "hideBottomGrabberLS", "shortBreadcrumb", "isBreadcrumbExclusive"})
        EXPECT_TRUE(switches.count(key)) << key;
    EXPECT_EQ(links, (std::vector<std::string>{"ZVSortOrderController", "ZVProfileController"}));
    EXPECT_FALSE(preferencesFile()) << "showing the page wrote the settings file";
}

TEST_F(SettingsAppTest, NavigatesAndRefusesWhatTheScreenCannotDo) {
    EXPECT_NE(refused({{"cmd", "back"}}), "");  // at the root
    EXPECT_NE(refused({{"cmd", "open"}, {"label", "Enabled"}}), "");  // not a link
    EXPECT_NE(refused({{"cmd", "open"}, {"section", 99}, {"row", 0}}), "");
    EXPECT_NE(refused({{"cmd", "tap"}, {"label", "No such row"}}), "");
    EXPECT_NE(refused({{"cmd", "press"}, {"button", 0}}), "");  // no alert
    EXPECT_NE(refused({{"cmd", "switch"}, {"label", "Enabled"}}), "");  // no value
    EXPECT_NE(refused({{"cmd", "longpress"}, {"section", 0}, {"row", 0}, {"duration", 2}}), "");
    EXPECT_NE(refused({{"cmd", "nonsense"}}), "");
    EXPECT_FALSE(alert()["visible"].get<bool>());

    json sortOrder = ok({{"cmd", "open"}, {"label", "Sort Order"}});
    EXPECT_EQ(sortOrder["depth"], 2);
    EXPECT_EQ(sortOrder["class"], "ZVSortOrderController");
    EXPECT_EQ(sortOrder["title"], "Sort Order");
    json back = ok({{"cmd", "back"}});
    EXPECT_EQ(back["depth"], 1);
    EXPECT_EQ(ok({{"cmd", "open"}, {"label", "Profiles"}})["class"], "ZVProfileController");

    EXPECT_TRUE(ok({{"cmd", "quit"}}).is_object());
    auto status = app().process().wait(kPatience);
    ASSERT_TRUE(status);
    EXPECT_TRUE(status->exitedWith(0)) << status->describe();
}

TEST_F(SettingsAppTest, WaitTakesTheHostsRangeAndNothingWraps) {
    const std::string range = "\"ms\" must be between 0 and 3600000";
    for (double ms : {4294967346.0, 4294967296.0, 3600001.0, -1.0})
        EXPECT_EQ(refused({{"cmd", "wait"}, {"ms", ms}}), range) << ms;
    ok({{"cmd", "wait"}, {"ms", 0}});
}

TEST_F(SettingsAppTest, WithoutTheBundleItStillAnswers) {
    std::filesystem::remove_all(hostPath("/Library/PreferenceBundles/Zorvane.bundle"));
    json status = ok({{"cmd", "status"}});
    EXPECT_FALSE(status["loaded"].get<bool>());
    EXPECT_NE(status["loadError"], "");
    EXPECT_NE(refused({{"cmd", "page"}}).find("no page on screen"), std::string::npos);
}

}  // namespace
}  // namespace zv::test
