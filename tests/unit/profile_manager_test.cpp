// The profile manager page over real files, where its input is bad: profile
// files that cannot be read, names that try to leave the folder, a profile
// that vanished, a folder that cannot be written. The ordinary flows through
// the screen, and what they announce, are checked across processes.
#include "PlistFixtures.h"
#include "SettingsPageTest.h"
#include "ZVProfileController.h"

namespace zv {
namespace {

using test::readDict;
using test::writeDict;
using test::writeRaw;

// A binary property list whose root is an empty array.
std::string binaryArrayPlist() {
    std::string bytes = "bplist00";
    bytes += '\xa0';  // object 0: empty array, at offset 8
    bytes += '\x08';  // offset table at 9
    const unsigned char trailer[32] = {0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 1,
                                       0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9};
    bytes.append(reinterpret_cast<const char*>(trailer), sizeof trailer);
    return bytes;
}

std::string profileFile(const std::string& name) { return "net.quellit.zorvane_" + name + ".plist"; }

class ProfileManagerTest : public test::SettingsPageTest {
protected:
    std::shared_ptr<ZVProfileController> open() {
        auto page = std::make_shared<ZVProfileController>();
        EXPECT_TRUE(page->initForContentSize(test::kContentSize));
        page->view();
        page->tableView()->reloadData();
        return page;
    }
    static std::string title(ZVProfileController& page, NSInteger section, NSInteger row) {
        auto cell = page.tableView()->cellForRowAtIndexPath(NSIndexPath{section, row});
        return cell ? cell->textLabel()->text() : "<no row>";
    }
    static std::string detail(ZVProfileController& page, NSInteger section, NSInteger row) {
        auto cell = page.tableView()->cellForRowAtIndexPath(NSIndexPath{section, row});
        return cell && cell->detailTextLabel() ? cell->detailTextLabel()->text() : "<no row>";
    }
    static std::vector<std::string> names(const ZVProfileController& page) {
        std::vector<std::string> out;
        for (const auto& entry : page.profiles) out.push_back(entry.profileName);
        return out;
    }
    // Taps the Current row and saves under `name`.
    void saveAs(ZVProfileController& page, const std::string& name) {
        ASSERT_EQ(page.tableView()->userSelectRow(NSIndexPath{0, 0}), "");
        auto alert = UIAlertView::alertOnScreen();
        ASSERT_TRUE(alert && alert->textFieldAtIndex(0));
        alert->textFieldAtIndex(0)->setText(name);
        press(1);
    }
    void loadRow(ZVProfileController& page, NSInteger row) {
        ASSERT_EQ(page.tableView()->userSelectRow(NSIndexPath{1, row}), "");
        press(1);
    }
};

TEST_F(ProfileManagerTest, ListsEveryProfileFileWithItsDateInFolderOrder) {
    startWith(PlistDictionary{{kProfileName, "Work"}, {kProfileSaved, true}, {kLastModified, "now"}});
    writeDict(profileFile("b"), {{kLastModified, "1/2/24, 3:04:05 PM"}});
    writeRaw(profileFile("garbage"), "\x01\x02 not a plist");
    writeRaw(profileFile("empty"), "");
    writeRaw(profileFile("array"), binaryArrayPlist());
    writeRaw(profileFile("binary"), test::binarySettings());
    writeDict(profileFile(""), {{kLastModified, "then"}});
    std::filesystem::create_directory(test::preferencesFile(profileFile("folder")));
    writeDict("net.quellit.zorvane_x.plist.bak", {});
    writeDict("com.apple.springboard.plist", {});

    auto page = open();
    EXPECT_EQ(names(*page), (std::vector<std::string>{"", "array", "b", "binary", "empty", "folder", "garbage"}));
    EXPECT_EQ(page->tableView()->numberOfSections(), 2);
    EXPECT_EQ(page->tableView()->sections()[0].headerTitle, "CURRENT");
    EXPECT_EQ(page->tableView()->sections()[1].headerTitle, "AVAILABLE");
    EXPECT_EQ(title(*page, 0, 0), "Work");
    EXPECT_EQ(detail(*page, 0, 0), "Last Modified: now");
    EXPECT_EQ(title(*page, 1, 2), "b");
    EXPECT_EQ(detail(*page, 1, 2), "Last Modified: 1/2/24, 3:04:05 PM");
    EXPECT_EQ(detail(*page, 1, 0), "Last Modified: then");
    for (NSInteger row : {1, 4, 5, 6}) EXPECT_EQ(detail(*page, 1, row), "Last Modified: ") << row;
    EXPECT_EQ(page->tableView()->cellForRowAtIndexPath(NSIndexPath{1, 2})->detailTextLabel()->textColor(),
              UIColor::grayColor());
}




TEST_F(ProfileManagerTest, OddNamesStayInsideThePreferencesFolder) {
    startWith(PlistDictionary{{kEnabled, true}});
    auto page = open();

    saveAs(*page, "   ");  // spaces only: saved verbatim
    EXPECT_TRUE(std::filesystem::exists(test::preferencesFile(profileFile("   "))));

    const std::filesystem::path library = test::preferencesFolder().parent_path();
    for (const std::string name : {"../../escaped", "a/b", "/"}) {
        SCOPED_TRACE(name);
        saveAs(*page, name);
        // No profile file can be written: the save fails with an alert, and
        // neither the settings nor any file anywhere takes the name.
        auto error = onlyAlert();
        ASSERT_TRUE(error);
        EXPECT_EQ(error->title(), "Error, Could not save profile");
        press(0);
        EXPECT_EQ(*plistLookup(*readDict(test::kSettingsFile), kProfileName), PlistValue("   "));
        EXPECT_EQ(names(*page), std::vector<std::string>{"   "});
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(library), {}), 1);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(test::preferencesFolder()), {}), 2);

    saveAs(*page, "*");
    saveAs(*page, "..");
    EXPECT_EQ(names(*page), (std::vector<std::string>{"   ", "*", ".."}));
}


TEST_F(ProfileManagerTest, UnreadableProfileFailsToLoadAndKeepsTheCurrentSettings) {
    const PlistDictionary current{{kEnabled, true}, {kHideBattery, true}, {kProfileName, "Mine"}};
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"garbage", "garbage \x01"},
        {"empty", ""},
        {"binary array", binaryArrayPlist()},
        {"xml string", plistToXml(PlistValue("text"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(test::preferencesFolder());
        std::filesystem::create_directories(test::preferencesFolder());
        startWith(current);
        writeRaw(profileFile("bad"), c.bytes);
        auto page = open();
        const auto before = std::filesystem::last_write_time(test::preferencesFile(test::kSettingsFile));

        loadRow(*page, 0);
        auto error = onlyAlert();
        ASSERT_TRUE(error);
        EXPECT_EQ(error->title(), "Error, Could not load profile");
        EXPECT_EQ(error->message(), "The file \u201cnet.quellit.zorvane_bad.plist\u201d couldn\u2019t be opened "
                                    "because it isn\u2019t in the correct format.");
        EXPECT_EQ(error->buttonTitles(), std::vector<std::string>{"Ok"});
        press(0);
        EXPECT_EQ(*readDict(test::kSettingsFile), current);
        EXPECT_EQ(std::filesystem::last_write_time(test::preferencesFile(test::kSettingsFile)), before);
        // The store still holds the current settings, so the next change
        // cannot write an empty file.
        EXPECT_EQ(held(), current);
        EXPECT_EQ(title(*page, 0, 0), "Mine (Unsaved)");
        store().save();
        EXPECT_EQ(*plistLookup(*readDict(test::kSettingsFile), kHideBattery), PlistValue(true));
    }
}


TEST_F(ProfileManagerTest, LoadingAVanishedProfileSaysWhyAndDropsItsRow) {
    const PlistDictionary current{{kEnabled, true}, {kProfileName, "Mine"}, {kProfileSaved, true}};
    startWith(current);
    writeDict(profileFile("a"), {{kEnabled, false}});
    writeDict(profileFile("b"), {});
    auto page = open();
    std::filesystem::remove(test::preferencesFile(profileFile("a")));

    loadRow(*page, 0);
    auto error = onlyAlert();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->title(), "Error, Could not load profile");
    EXPECT_EQ(error->message(),
              "The file \u201cnet.quellit.zorvane_a.plist\u201d couldn\u2019t be opened because there is no such file.");
    press(0);
    EXPECT_EQ(names(*page), std::vector<std::string>{"b"});
    EXPECT_EQ(title(*page, 1, 0), "b");
    EXPECT_EQ(held(), current);
    EXPECT_EQ(*readDict(test::kSettingsFile), current);
}

TEST_F(ProfileManagerTest, DeletingAVanishedProfileReportsWhyNot) {
    writeDict(profileFile("b"), {});
    auto page = open();
    // The file goes away behind the page's back.
    std::filesystem::remove(test::preferencesFile(profileFile("b")));
    ASSERT_EQ(page->tableView()->userDeleteRow(NSIndexPath{1, 0}), "");
    auto error = onlyAlert();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->title(), "Error, Could not delete profile");
    ASSERT_TRUE(error->message());
    EXPECT_NE(error->message()->find("net.quellit.zorvane_b.plist"), std::string::npos);
    EXPECT_EQ(error->buttonTitles(), std::vector<std::string>{"Ok"});
    EXPECT_EQ(names(*page), std::vector<std::string>{"b"});  // not rebuilt, only redrawn
}




TEST_F(ProfileManagerTest, ReadOnlyFolderFailsSavesWithoutLosingTheStore) {
    startWith(PlistDictionary{{kEnabled, true}, {kProfileName, "Old"}, {kProfileSaved, false}});
    writeDict(profileFile("Work"), {{kEnabled, false}, {kProfileName, "Work"}, {kProfileSaved, true}});
    const auto settingsBefore = readDict(test::kSettingsFile);
    test::makePreferencesFolderReadOnly();
    const int failed = test::runUnprivileged([&] {
        int failures = 0;
        auto page = open();
        saveAs(*page, "New");  // neither file can be written: the save is reported as failed
        auto alerts = UIAlertView::queuedAlerts();
        if (alerts.size() != 1 || alerts[0]->title() != "Error, Could not save profile" || alerts[0]->tag() != 0 ||
            alerts[0]->buttonTitles() != std::vector<std::string>{"Ok"} || !alerts[0]->message() ||
            alerts[0]->message()->find("permission") == std::string::npos)
            failures |= 1;
        if (!alerts.empty()) press(0);
        if (store().objectForKey(kProfileName) != PlistValue("Old") || title(*page, 0, 0) != "Old (Unsaved)")
            failures |= 2;
        if (names(*page) != std::vector<std::string>{"Work"}) failures |= 4;
        // Each failure says why, and the store and the page go on showing
        // what the settings file holds.
        auto failedWithPermission = [&](const std::string& title) {
            auto shown = UIAlertView::queuedAlerts();
            const bool said = shown.size() == 1 && shown[0]->title() == title && shown[0]->message() &&
                              shown[0]->message()->find("permission") != std::string::npos;
            if (!shown.empty()) press(0);
            return said;
        };
        loadRow(*page, 0);  // readable, but the settings file cannot be replaced
        if (!failedWithPermission("Error, Could not load profile")) failures |= 8;
        if (held() != *settingsBefore || title(*page, 0, 0) != "Old (Unsaved)") failures |= 16;
        if (page->tableView()->userDeleteRow(NSIndexPath{0, 0}) != "") failures |= 64;
        press(1);  // reset
        if (!failedWithPermission("Error, Could not reset profile")) failures |= 64;
        if (held() != *settingsBefore || title(*page, 0, 0) != "Old (Unsaved)") failures |= 128;
        store().setObject(PlistValue(true), kHideBattery);
        if (store().save() || !store().boolForKey(kHideBattery)) failures |= 32;
        return failures;
    });
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(*readDict(test::kSettingsFile), *settingsBefore);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(test::preferencesFolder()), {}), 2);
}

}  // namespace
}  // namespace zv
