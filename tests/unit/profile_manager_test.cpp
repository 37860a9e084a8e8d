// The profile manager page over real files: the list, the Current row, the
// footer, and the save, overwrite, load, reset, delete and share flows with
// their alerts. Notifications need a bus and are checked across processes.
#include <chrono>
#include <thread>

#include "PlistFixtures.h"
#include "SettingsPageTest.h"
#include "ZVProfileController.h"
#include "foundation/MainQueue.h"
#include "preferences/UILabel.h"

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

TEST_F(ProfileManagerTest, EmptyFolderShowsUnsavedAndTheHelpFooter) {
    auto page = open();
    UITableView& table = *page->tableView();
    EXPECT_EQ(page->title(), "Profiles");
    EXPECT_EQ(table.style(), UITableViewStylePlain);
    EXPECT_EQ(table.autoresizingMask(), 18u);
    EXPECT_EQ(title(*page, 0, 0), "Unsaved");
    EXPECT_EQ(detail(*page, 0, 0), "Last Modified: ");
    EXPECT_EQ(table.numberOfRowsInSection(1), 0);

    const double width = table.frame().size.width;
    const double h = ZVProfileController::helpTextHeight(width);
    EXPECT_GT(h, 3 * 14 * 1.2);  // several lines at 14 points
    EXPECT_EQ(table.sections()[1].footerHeight, h + 34);
    EXPECT_EQ(table.sections()[0].footerHeight, 0);
    EXPECT_FALSE(table.sections()[0].footerView);
    auto footer = table.sections()[1].footerView;
    ASSERT_TRUE(footer);
    EXPECT_EQ(footer->frame(), CGRectMake(0, 0, width, h + 64));
    ASSERT_EQ(footer->subviews().size(), 2u);
    EXPECT_EQ(footer->subviews()[0]->frame(), CGRectMake(0, 0, width, 24));
    EXPECT_EQ(footer->subviews()[0]->backgroundColor(), UIColor::colorWithRed(240 / 255.0, 240 / 255.0, 240 / 255.0, 1));
    auto* label = dynamic_cast<UILabel*>(footer->subviews()[1].get());
    ASSERT_TRUE(label);
    EXPECT_EQ(label->frame(), CGRectMake(15, 24, width - 30, h + 10));
    EXPECT_EQ(label->numberOfLines(), 0);
    EXPECT_EQ(label->font(), UIFont::systemFontOfSize(14));
    EXPECT_EQ(label->text(), ZVProfileController::helpText());
}

TEST_F(ProfileManagerTest, SaveWritesSettingsAndProfileAlikeWithoutStamping) {
    startWith(PlistDictionary{{kEnabled, true}, {kProfileSaved, false}, {kLastModified, "earlier"}});
    auto page = open();

    ASSERT_EQ(page->tableView()->userSelectRow(NSIndexPath{0, 0}), "");
    auto alert = onlyAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->tag(), 5653);
    EXPECT_EQ(alert->title(), "Save");
    EXPECT_EQ(alert->message(), "Please enter a Profile Name");
    EXPECT_EQ(alert->buttonTitles(), (std::vector<std::string>{"Cancel", "Save"}));
    EXPECT_FALSE(page->tableView()->indexPathForSelectedRow());  // deselected once the alert shows
    alert->textFieldAtIndex(0)->setText("Work");
    press(1);

    EXPECT_TRUE(UIAlertView::queuedAlerts().empty());
    auto settings = readDict(test::kSettingsFile);
    auto profile = readDict(profileFile("Work"));
    ASSERT_TRUE(settings && profile);
    EXPECT_EQ(*settings, *profile);
    EXPECT_EQ(*plistLookup(*settings, kProfileName), PlistValue("Work"));
    EXPECT_EQ(*plistLookup(*settings, kProfileSaved), PlistValue(true));
    EXPECT_EQ(*plistLookup(*settings, kLastModified), PlistValue("earlier"));
    EXPECT_EQ(title(*page, 0, 0), "Work");
    EXPECT_EQ(names(*page), std::vector<std::string>{"Work"});
    EXPECT_EQ(detail(*page, 1, 0), detail(*page, 0, 0));
}

TEST_F(ProfileManagerTest, SaveNeedsANameAndAsksBeforeOverwriting) {
    startWith(PlistDictionary{{kEnabled, true}});
    writeDict(profileFile("Work"), {{kEnabled, false}, {kProfileName, "Work"}});
    auto page = open();

    saveAs(*page, "");
    auto error = onlyAlert();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->title(), "Error, You cannot save a profile with no name");
    EXPECT_FALSE(error->message());
    EXPECT_EQ(error->buttonTitles(), std::vector<std::string>{"Ok"});
    press(0);
    EXPECT_FALSE(readDict(test::kSettingsFile)->count(kProfileName));

    // "No" changes neither file.
    saveAs(*page, "Work");
    auto ask = onlyAlert();
    ASSERT_TRUE(ask);
    EXPECT_EQ(ask->tag(), 5651);
    EXPECT_EQ(ask->title(), "That profile exists!");
    EXPECT_EQ(ask->message(), "Would you like to overwrite it?");
    EXPECT_EQ(ask->buttonTitles(), (std::vector<std::string>{"No", "Yes"}));
    EXPECT_EQ(ask->accessibilityValue(), "Work");
    press(0);
    EXPECT_EQ(*readDict(profileFile("Work")), (PlistDictionary{{kEnabled, false}, {kProfileName, "Work"}}));
    EXPECT_FALSE(readDict(test::kSettingsFile)->count(kProfileName));

    // "Yes" rewrites both.
    saveAs(*page, "Work");
    press(1);
    EXPECT_EQ(*readDict(profileFile("Work")), *readDict(test::kSettingsFile));
    EXPECT_EQ(*plistLookup(*readDict(profileFile("Work")), kEnabled), PlistValue(true));
    EXPECT_EQ(title(*page, 0, 0), "Work");
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
        EXPECT_TRUE(UIAlertView::queuedAlerts().empty());
        // The settings file takes the name; no profile file appears anywhere.
        EXPECT_EQ(*plistLookup(*readDict(test::kSettingsFile), kProfileName), PlistValue(name));
        EXPECT_EQ(names(*page), std::vector<std::string>{"   "});
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(library), {}), 1);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(test::preferencesFolder()), {}), 2);

    saveAs(*page, "*");
    saveAs(*page, "..");
    EXPECT_EQ(names(*page), (std::vector<std::string>{"   ", "*", ".."}));
}

TEST_F(ProfileManagerTest, LoadReplacesTheSettingsWithTheProfileUnstamped) {
    startWith(PlistDictionary{{kEnabled, false}, {kProfileName, "Old"}, {kProfileSaved, false}});
    const PlistDictionary profile{{kEnabled, true},
                                  {kProfileName, "Inside"},
                                  {kProfileSaved, true},
                                  {kLastModified, "1/1/24, 1:00:00 AM"},
                                  {kDefault, PlistDictionary{{kData, PlistArray{PlistValue("00 Time")}}}}};
    writeDict(profileFile("Renamed"), profile);
    auto page = open();
    EXPECT_EQ(title(*page, 0, 0), "Old (Unsaved)");

    ASSERT_EQ(page->tableView()->userSelectRow(NSIndexPath{1, 0}), "");
    auto ask = onlyAlert();
    ASSERT_TRUE(ask);
    EXPECT_EQ(ask->tag(), 5654);
    EXPECT_EQ(ask->title(), "Are you sure you want to load the selected profile?");
    EXPECT_EQ(ask->message(), "If your current profile is Unsaved, it will be lost!!!");
    EXPECT_EQ(ask->buttonTitles(), (std::vector<std::string>{"Cancel", "Yes"}));
    EXPECT_EQ(ask->accessibilityValue(), "Renamed");
    press(0);  // Cancel: nothing happens
    EXPECT_EQ(*plistLookup(*readDict(test::kSettingsFile), kEnabled), PlistValue(false));

    loadRow(*page, 0);
    EXPECT_EQ(*readDict(test::kSettingsFile), profile);
    EXPECT_EQ(held(), profile);
    EXPECT_EQ(store().identifier(), kSettingsIdentifier);  // still bound to the settings file
    EXPECT_EQ(title(*page, 0, 0), "Inside");
    EXPECT_EQ(detail(*page, 0, 0), "Last Modified: 1/1/24, 1:00:00 AM");
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

TEST_F(ProfileManagerTest, ResetAsksThenLeavesOnlyAStampAndKeepsProfiles) {
    startWith(PlistDictionary{{kEnabled, true}, {kProfileName, "Work"}, {kProfileSaved, true}});
    writeDict(profileFile("Work"), {{kEnabled, true}});
    auto page = open();

    ASSERT_EQ(page->tableView()->userDeleteRow(NSIndexPath{0, 0}), "");
    auto ask = onlyAlert();
    ASSERT_TRUE(ask);
    EXPECT_EQ(ask->tag(), 5652);
    EXPECT_EQ(ask->title(), "Are you sure you want to reset your current profile?");
    EXPECT_EQ(ask->buttonTitles(), (std::vector<std::string>{"Cancel", "Reset"}));
    EXPECT_EQ(readDict(test::kSettingsFile)->size(), 3u);  // nothing yet
    press(1);

    auto settings = readDict(test::kSettingsFile);
    ASSERT_TRUE(settings);
    ASSERT_EQ(settings->size(), 1u);
    EXPECT_TRUE(plistLookup(*settings, kLastModified)->string());
    EXPECT_EQ(title(*page, 0, 0), "Unsaved");
    EXPECT_EQ(detail(*page, 0, 0), "Last Modified: " + *plistLookup(*settings, kLastModified)->string());
    EXPECT_EQ(names(*page), std::vector<std::string>{"Work"});
}

TEST_F(ProfileManagerTest, DeleteRemovesTheFileAtOnceOrReportsWhyNot) {
    writeDict(profileFile("a"), {});
    writeDict(profileFile("b"), {});
    auto page = open();

    ASSERT_EQ(page->tableView()->userDeleteRow(NSIndexPath{1, 0}), "");
    EXPECT_TRUE(UIAlertView::queuedAlerts().empty());
    EXPECT_FALSE(std::filesystem::exists(test::preferencesFile(profileFile("a"))));
    EXPECT_EQ(names(*page), std::vector<std::string>{"b"});
    EXPECT_EQ(title(*page, 1, 0), "b");

    // The file went away behind the page's back.
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

TEST_F(ProfileManagerTest, LongPressSharesTheFileUnderTheFinger) {
    writeDict(profileFile("Work"), {});
    auto page = open();
    UITableView& table = *page->tableView();
    auto press = table.gestureRecognizers().empty()
                     ? nullptr
                     : std::dynamic_pointer_cast<UILongPressGestureRecognizer>(table.gestureRecognizers().front());
    ASSERT_TRUE(press);
    EXPECT_EQ(press->minimumPressDuration(), 1.0);
    auto centre = [&](CGRect r) { return CGPoint{r.origin.x + r.size.width / 2, r.origin.y + r.size.height / 2}; };

    // No application takes property lists yet: the share error alert, without delegate.
    EXPECT_TRUE(press->simulatePress(centre(table.rectForRowAtIndexPath(NSIndexPath{1, 0})), 1.2));
    auto error = onlyAlert();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->title(), "ERROR");
    EXPECT_EQ(error->message(), "Cannot Open File: There are no Apps installed on your device that can open this file.");
    EXPECT_EQ(error->buttonTitles(), std::vector<std::string>{"Dismiss"});
    EXPECT_FALSE(error->delegate());
    ASSERT_TRUE(page->documentController);
    EXPECT_EQ(page->documentController->URL().path, "/var/mobile/Library/Preferences/net.quellit.zorvane_Work.plist");
    error->dismissWithButtonIndex(0, false);

    std::filesystem::create_directories(resolveDevicePath("/var/mobile/Library/ZorvaneDevice"));
    writeToFile({{"Mail", PlistArray{PlistValue("plist")}}}, kOpenInHandlersPath);
    struct Case {
        const char* what;
        CGPoint at;
        double seconds;
        const char* shared;  // null: nothing shared
    };
    const Case cases[] = {
        {"the Current row", centre(table.rectForRowAtIndexPath(NSIndexPath{0, 0})), 1.0, "net.quellit.zorvane.plist"},
        {"a profile row", centre(table.rectForRowAtIndexPath(NSIndexPath{1, 0})), 3.0,
         "net.quellit.zorvane_Work.plist"},
        {"the footer", centre(table.rectForFooterInSection(1)), 1.5, "net.quellit.zorvane.plist"},
        {"a header", centre(table.rectForHeaderInSection(1)), 1.5, "net.quellit.zorvane.plist"},
        {"a short press", centre(table.rectForRowAtIndexPath(NSIndexPath{1, 0})), 0.9, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        page->documentController.reset();
        press->simulatePress(c.at, c.seconds);
        EXPECT_TRUE(UIAlertView::queuedAlerts().empty());
        if (!c.shared) {
            EXPECT_FALSE(page->documentController);
            continue;
        }
        ASSERT_TRUE(page->documentController);
        EXPECT_EQ(page->documentController->URL().path, std::string("/var/mobile/Library/Preferences/") + c.shared);
        EXPECT_EQ(UIDocumentInteractionController::menuOnScreen(), page->documentController);
        EXPECT_EQ(page->documentController->delegate(), page.get());
        EXPECT_EQ(page->documentController->presentedFromRect(), page->view()->bounds());
    }
}

TEST_F(ProfileManagerTest, AppearingRefreshesAQuarterSecondLater) {
    auto page = open();
    writeDict(profileFile("Later"), {});
    page->viewWillAppear(true);
    drainMainQueue();
    EXPECT_TRUE(page->profiles.empty());

    std::weak_ptr<ZVProfileController> weak = page;
    page.reset();  // the queued refresh keeps the page alive
    ASSERT_FALSE(weak.expired());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    drainMainQueue();
    EXPECT_TRUE(weak.expired());
}

TEST_F(ProfileManagerTest, QueuedRefreshRebuildsListAndTable) {
    auto page = open();
    const int loads = page->tableView()->reloadCount();
    writeDict(profileFile("Later"), {});
    page->viewWillAppear(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    drainMainQueue();
    EXPECT_EQ(names(*page), std::vector<std::string>{"Later"});
    EXPECT_GT(page->tableView()->reloadCount(), loads);
    EXPECT_EQ(title(*page, 1, 0), "Later");
}

TEST_F(ProfileManagerTest, ReadOnlyFolderFailsSavesWithoutLosingTheStore) {
    startWith(PlistDictionary{{kEnabled, true}, {kProfileName, "Old"}, {kProfileSaved, false}});
    writeDict(profileFile("Work"), {{kEnabled, false}, {kProfileName, "Work"}, {kProfileSaved, true}});
    const auto settingsBefore = readDict(test::kSettingsFile);
    std::filesystem::permissions(test::preferencesFolder(), std::filesystem::perms::owner_read |
                                                                std::filesystem::perms::owner_exec |
                                                                std::filesystem::perms::others_read |
                                                                std::filesystem::perms::others_exec);
    const int failed = test::runUnprivileged([&] {
        int failures = 0;
        auto page = open();
        saveAs(*page, "New");  // neither file can be written
        if (!UIAlertView::queuedAlerts().empty()) failures |= 1;
        if (store().objectForKey(kProfileName) != PlistValue("New")) failures |= 2;
        if (names(*page) != std::vector<std::string>{"Work"}) failures |= 4;
        loadRow(*page, 0);  // readable, but the settings file cannot be replaced
        if (held() != *readDict(profileFile("Work"))) failures |= 8;
        if (*readDict(test::kSettingsFile) != *settingsBefore) failures |= 16;
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
