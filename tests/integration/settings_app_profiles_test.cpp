// The profile manager in the running Settings application: the alert flows
// through the screen, files in the preferences folder, the delayed refresh,
// the long press and the open-in menu.
#include "SettingsAppFixture.h"

namespace zv::test {
namespace {

class ProfilesTest : public SettingsAppTest {
protected:
    json openProfiles() {
        ok({{"cmd", "open"}, {"label", "Profiles"}});
        ok({{"cmd", "wait"}, {"ms", 400}});  // the refresh runs 0.25 s after appearing
        return page();
    }
    void saveAs(const std::string& name) {
        ok({{"cmd", "tap"}, {"section", 0}, {"row", 0}});
        ok({{"cmd", "type"}, {"text", name}});
        ok({{"cmd", "press"}, {"title", "Save"}});
    }
    void registerHandlers(const std::string& xml) {
        std::filesystem::create_directories(hostPath("/var/mobile/Library/ZorvaneDevice"));
        ASSERT_TRUE(writeHostFileAtomically(hostPath("/var/mobile/Library/ZorvaneDevice/OpenInHandlers.plist"), xml));
    }
};

TEST_F(ProfilesTest, SaveAsksForANameAndWritesBothFiles) {
    json profiles = openProfiles();
    EXPECT_EQ(profiles["title"], "Profiles");
    EXPECT_EQ(rowTitles(profiles, 0), (std::vector<std::string>{"Unsaved"}));
    EXPECT_TRUE(rowTitles(profiles, 1).empty());

    ok({{"cmd", "tap"}, {"section", 0}, {"row", 0}});
    json ask = alert();
    EXPECT_EQ(ask["tag"], 5653);
    EXPECT_EQ(ask["title"], "Save");
    EXPECT_EQ(ask["buttons"], json::array({"Cancel", "Save"}));
    EXPECT_EQ(ask["textField"], "");
    EXPECT_FALSE(page()["sections"][0]["rows"][0]["selected"].get<bool>());
    ok({{"cmd", "type"}, {"text", "work"}});
    ok({{"cmd", "press"}, {"button", 1}});

    auto profile = preferencesFile("net.quellit.zorvane_work.plist");
    ASSERT_TRUE(profile);
    EXPECT_EQ(*plistLookup(*profile, "profileName"), PlistValue("work"));
    EXPECT_EQ(profile, preferencesFile());
    json after = page();
    EXPECT_EQ(rowTitles(after, 0), (std::vector<std::string>{"work"}));
    EXPECT_EQ(rowTitles(after, 1), (std::vector<std::string>{"work"}));

    // The same name again asks before overwriting; "No" keeps everything.
    saveAs("work");
    json overwrite = alert();
    EXPECT_EQ(overwrite["tag"], 5651);
    EXPECT_EQ(overwrite["accessibilityValue"], "work");
    ok({{"cmd", "press"}, {"title", "No"}});
    EXPECT_FALSE(alert()["visible"].get<bool>());

    // An empty name is refused with an error alert.
    saveAs("");
    json error = alert();
    EXPECT_EQ(error["title"], "Error, You cannot save a profile with no name");
    EXPECT_EQ(error["buttons"], json::array({"Ok"}));
}

TEST_F(ProfilesTest, ASaveThatCannotWriteTheProfileFileSaysSo) {
    openProfiles();
    // The longest name that fits a file name (255 bytes) saves.
    const std::string longest(229, 'p');
    saveAs(longest);
    EXPECT_FALSE(alert()["visible"].get<bool>());
    EXPECT_TRUE(preferencesFile("net.quellit.zorvane_" + longest + ".plist"));
    EXPECT_EQ(rowTitles(page(), 1), std::vector<std::string>{longest});

    // One character more names no file; a folder in the profile file's place
    // cannot be replaced. Either save fails, and says so.
    std::filesystem::create_directory(hostPath("/var/mobile/Library/Preferences/net.quellit.zorvane_taken.plist"));
    for (const std::string& name : {longest + "p", std::string("taken")}) {
        SCOPED_TRACE(name.size());
        saveAs(name);
        if (alert()["tag"] == 5651) ok({{"cmd", "press"}, {"title", "Yes"}});  // "That profile exists!"
        json error = alert();
        EXPECT_EQ(error["title"], "Error, Could not save profile");
        EXPECT_EQ(error["tag"], 0);
        EXPECT_EQ(error["buttons"], json::array({"Ok"}));
        EXPECT_TRUE(error["message"].is_string() && !error["message"].get<std::string>().empty()) << error.dump();
        ok({{"cmd", "press"}, {"title", "Ok"}});
        // The current settings are still the profile saved last, and only
        // what is on disk is listed.
        EXPECT_EQ(rowTitles(page(), 0), std::vector<std::string>{longest});
        EXPECT_EQ(*plistLookup(*preferencesFile(), "profileName"), PlistValue(longest));
        EXPECT_EQ(rowTitles(page(), 1), (std::vector<std::string>{longest, "taken"}));
    }
}

TEST_F(ProfilesTest, LoadingAProfileReplacesTheSettingsAndAnnouncesIt) {
    openProfiles();
    // A profile that arrives while the page is shown appears after the next
    // appearance's refresh.
    writePreferencesFile("net.quellit.zorvane_other.plist",
                         {{"profileName", "Other"}, {"profileSaved", true}, {"enabled", true},
                          {"lastModified", "1/2/25, 3:04:05 PM"}});
    ok({{"cmd", "appear"}});
    ok({{"cmd", "wait"}, {"ms", 400}});
    json listed = page();
    ASSERT_EQ(rowTitles(listed, 1), (std::vector<std::string>{"other"}));
    EXPECT_EQ(listed["sections"][1]["rows"][0]["detail"], "Last Modified: 1/2/25, 3:04:05 PM");

    startProbe();
    ok({{"cmd", "tap"}, {"label", "other"}});
    EXPECT_EQ(alert()["tag"], 5654);
    EXPECT_EQ(alert()["accessibilityValue"], "other");
    ok({{"cmd", "press"}, {"button", 1}});
    EXPECT_EQ(namesUntilReload(), (std::vector<std::string>{kPreferencesName, kReloadName}));
    auto settings = preferencesFile();
    ASSERT_TRUE(settings);
    EXPECT_EQ(*plistLookup(*settings, "enabled"), PlistValue(true));
    EXPECT_EQ(rowTitles(page(), 0), (std::vector<std::string>{"Other"}));
}

TEST_F(ProfilesTest, SwipeDeleteRemovesAProfileButOnlyAsksToResetTheCurrent) {
    writePreferencesFile("net.quellit.zorvane_gone.plist", {{"profileName", "gone"}});
    openProfiles();
    json deleted = ok({{"cmd", "delete"}, {"label", "gone"}});
    EXPECT_FALSE(deleted["alert"].get<bool>());
    EXPECT_FALSE(std::filesystem::exists(hostPath("/var/mobile/Library/Preferences/net.quellit.zorvane_gone.plist")));
    EXPECT_TRUE(rowTitles(page(), 1).empty());

    ok({{"cmd", "delete"}, {"section", 0}, {"row", 0}});
    json reset = alert();
    EXPECT_EQ(reset["tag"], 5652);
    EXPECT_EQ(reset["buttons"], json::array({"Cancel", "Reset"}));
}

// The delete buttons the screen shows are the application's: "Edit" and a
// swiped row's button are in the page, go when another page comes on
// screen, and a revealed button goes with its row.
TEST_F(ProfilesTest, DeleteButtonsStayWithThePageAndTheRow) {
    writePreferencesFile("net.quellit.zorvane_gone.plist", {{"profileName", "gone"}});
    writePreferencesFile("net.quellit.zorvane_kept.plist", {{"profileName", "kept"}});
    json profiles = openProfiles();
    EXPECT_EQ(profiles["showsDeleteButtons"], false);
    EXPECT_EQ(profiles["revealedRow"], json());

    ok({{"cmd", "reveal"}, {"label", "gone"}});
    const json revealed = page()["revealedRow"];
    ASSERT_TRUE(revealed.is_object());
    EXPECT_EQ(page()["sections"][revealed["section"].get<int>()]["rows"][revealed["row"].get<int>()]["title"], "gone");
    ok({{"cmd", "delete"}, {"label", "gone"}});
    EXPECT_EQ(page()["revealedRow"], json()) << "the button stayed on the row that took the deleted one's place";
    ok({{"cmd", "reveal"}, {"label", "kept"}});
    ok({{"cmd", "reveal"}});
    EXPECT_EQ(page()["revealedRow"], json());

    EXPECT_EQ(ok({{"cmd", "edit"}, {"on", true}})["on"], true);
    ok({{"cmd", "reveal"}, {"label", "kept"}});
    EXPECT_EQ(page()["showsDeleteButtons"], true);
    ok({{"cmd", "back"}});
    EXPECT_EQ(page()["showsDeleteButtons"], false);
    json again = openProfiles();
    EXPECT_EQ(again["showsDeleteButtons"], false);
    EXPECT_EQ(again["revealedRow"], json());
}

TEST_F(ProfilesTest, HelpFooterIsLaidOutBelowTheAvailableSection) {
    json profiles = openProfiles();
    const json& section = profiles["sections"][1];
    EXPECT_EQ(section["header"], "AVAILABLE");
    const double footerHeight = section["footerHeight"].get<double>();
    const json& view = section["footerView"];
    ASSERT_TRUE(view.is_object());
    const double h = footerHeight - 34;  // the measured help text
    EXPECT_GT(h, 0);
    EXPECT_EQ(view["frame"], json::array({0, 0, 320, h + 64}));
    ASSERT_EQ(view["subviews"].size(), 2u);
    EXPECT_EQ(view["subviews"][0]["frame"], json::array({0, 0, 320, 24}));
    EXPECT_EQ(view["subviews"][0]["backgroundColor"], json::array({240 / 255.0, 240 / 255.0, 240 / 255.0, 1}));
    const json& label = view["subviews"][1];
    EXPECT_EQ(label["class"], "UILabel");
    EXPECT_EQ(label["frame"], json::array({15, 24, 290, h + 10}));
    EXPECT_EQ(label["fontSize"], 14);
    EXPECT_EQ(label["numberOfLines"], 0);
    EXPECT_EQ(section["footerFrame"][3], footerHeight);  // the table lays out H + 34
}

TEST_F(ProfilesTest, LongPressSharesThroughTheOpenInMenu) {
    writePreferencesFile("net.quellit.zorvane_work.plist", {{"profileName", "work"}});
    json profiles = openProfiles();
    EXPECT_EQ(profiles["table"]["longPressRecognizers"], 1);

    // Too short: nothing happens.
    json quick = ok({{"cmd", "longpress"}, {"label", "work"}, {"duration", 0.5}});
    EXPECT_FALSE(quick["recognized"].get<bool>());
    EXPECT_FALSE(quick["menu"].get<bool>());
    EXPECT_FALSE(quick["alert"].get<bool>());

    // No application takes the file: the share error.
    ok({{"cmd", "longpress"}, {"label", "work"}, {"duration", 1.5}});
    json error = alert();
    EXPECT_EQ(error["title"], "ERROR");
    EXPECT_EQ(error["buttons"], json::array({"Dismiss"}));
    EXPECT_FALSE(error["hasDelegate"].get<bool>());
    ok({{"cmd", "press"}, {"button", 0}});

    registerHandlers(R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>Mail</key><array><string>*</string></array>
<key>Notes</key><array><string>txt</string></array></dict></plist>)");
    ok({{"cmd", "longpress"}, {"label", "work"}, {"duration", 1.5}});
    json menu = ok({{"cmd", "openin"}});
    ASSERT_TRUE(menu["visible"].get<bool>());
    EXPECT_EQ(menu["file"], "/var/mobile/Library/Preferences/net.quellit.zorvane_work.plist");
    EXPECT_EQ(menu["handlers"], json::array({"Mail"}));
    json chosen = ok({{"cmd", "choose"}, {"handler", "Mail"}});
    EXPECT_TRUE(std::filesystem::exists(hostPath(chosen["delivered"].get<std::string>())));
    EXPECT_FALSE(ok({{"cmd", "openin"}})["visible"].get<bool>());

    // A press on the footer shares the settings file.
    ok({{"cmd", "longpress"}, {"at", "footer"}, {"section", 1}, {"duration", 1.0}});
    EXPECT_EQ(ok({{"cmd", "openin"}})["file"], "/var/mobile/Library/Preferences/net.quellit.zorvane.plist");
}

TEST_F(ProfilesTest, OpenInDeliveryStaysInsideTheInbox) {
    writePreferencesFile("net.quellit.zorvane_work.plist", {{"profileName", "work"}});
    // Application names that are paths rather than names.
    registerHandlers(R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>../../../../../escaped</key><array><string>*</string></array>
<key>..</key><array><string>*</string></array><key>a/b</key><array><string>*</string></array>
<key>Mail</key><array><string>*</string></array><key>Notes</key><array><string>*</string></array></dict></plist>)");
    // Mail's inbox folder is a symlink to a folder outside the Inbox.
    const std::string inbox = hostPath("/var/mobile/Library/ZorvaneDevice/Inbox");
    std::filesystem::create_directories(inbox);
    std::filesystem::create_directories(hostPath("/outside"));
    std::filesystem::create_directory_symlink(hostPath("/outside"), inbox + "/Mail");

    openProfiles();
    ok({{"cmd", "longpress"}, {"label", "work"}, {"duration", 1.5}});
    EXPECT_EQ(ok({{"cmd", "openin"}})["handlers"], json::array({"Mail", "Notes"}));
    refused({{"cmd", "choose"}, {"handler", "../../../../../escaped"}});
    refused({{"cmd", "choose"}, {"handler", "Mail"}});
    EXPECT_FALSE(std::filesystem::exists(hostPath("/escaped")));
    EXPECT_TRUE(std::filesystem::is_empty(hostPath("/outside")));

    // A plain name delivers into its own folder of the Inbox.
    json chosen = ok({{"cmd", "choose"}, {"handler", "Notes"}});
    EXPECT_EQ(chosen["delivered"], "/var/mobile/Library/ZorvaneDevice/Inbox/Notes/net.quellit.zorvane_work.plist");
    EXPECT_TRUE(std::filesystem::is_regular_file(hostPath(chosen["delivered"].get<std::string>())));
}

}  // namespace
}  // namespace zv::test
