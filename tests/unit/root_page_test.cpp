// The root settings page over real files: its specifier list against the
// plug-in's defaults, the values rows show, changes written at once.
#include <filesystem>

#include "SettingsPageTest.h"
#include "ZorvaneSettingsListController.h"
#include "preferences/PSTableCell.h"

namespace zv {
namespace {

using test::readDict;

constexpr const char* kBundlePath = "/Library/PreferenceBundles/Zorvane.bundle";

class RootPageTest : public test::SettingsPageTest {
protected:
    void SetUp() override {
        SettingsPageTest::SetUp();
        // The bundle's specifier list where the Settings application finds it.
        const std::filesystem::path source =
            std::filesystem::path(ZV_SOURCE_DIR) / "settings/resources/Zorvane.plist";
        const std::filesystem::path bundle = resolveDevicePath(kBundlePath);
        std::filesystem::create_directories(bundle);
        std::filesystem::copy_file(source, bundle / "Zorvane.plist",
                                   std::filesystem::copy_options::overwrite_existing);
    }
    void TearDown() override {
        std::filesystem::remove_all(resolveDevicePath("/Library"));
        SettingsPageTest::TearDown();
    }
    std::shared_ptr<ZorvaneSettingsListController> open() {
        auto page = std::make_shared<ZorvaneSettingsListController>();
        page->setBundlePath(kBundlePath);
        EXPECT_TRUE(page->initForContentSize(test::kContentSize));
        page->view();
        page->viewWillAppear(true);
        return page;
    }
    static const PSSpecifier* rowWithKey(ZorvaneSettingsListController& page, const std::string& key) {
        for (const PSSpecifier& s : page.specifiers())
            if (s.stringProperty("key") == key) return &s;
        return nullptr;
    }
    // The value the row for `key` shows on screen.
    static std::optional<PlistValue> shown(ZorvaneSettingsListController& page, const std::string& key) {
        const PSSpecifier* row = rowWithKey(page, key);
        if (!row) return std::nullopt;
        auto at = page.indexPathForLabel(row->name());
        auto cell = at ? std::dynamic_pointer_cast<PSTableCell>(page.table()->cellForRowAtIndexPath(*at)) : nullptr;
        return cell ? cell->value() : std::nullopt;
    }
};

TEST_F(RootPageTest, SpecifierListHasASwitchPerSettingWithThePluginsDefault) {
    auto page = open();
    EXPECT_EQ(page->title(), "Zorvane");
    const std::pair<const char*, bool> switches[] = {
        {kEnabled, false},          {kEnableLockScreenTime, false}, {kHideBattery, false},
        {kBluetoothConnectedOnly, false}, {kHideTopGrabberLS, true}, {kHideBottomGrabberLS, true},
        {kShortBreadcrumb, false},  {kIsBreadcrumbExclusive, true},
    };
    for (const auto& [key, fallback] : switches) {
        SCOPED_TRACE(key);
        const PSSpecifier* row = rowWithKey(*page, key);
        ASSERT_TRUE(row);
        EXPECT_EQ(row->cellType(), PSSwitchCell);
        ASSERT_TRUE(row->propertyForKey("default"));
        EXPECT_EQ(*row->propertyForKey("default"), PlistValue(fallback));
        EXPECT_EQ(row->target(), page.get());
        EXPECT_EQ(shown(*page, key), PlistValue(fallback));  // nothing stored yet
    }
    std::vector<std::string> links;
    std::vector<std::string> actions;
    for (const PSSpecifier& s : page->specifiers()) {
        if (s.cellType() == PSLinkCell) links.push_back(s.stringProperty("detail"));
        if (s.cellType() == PSButtonCell) actions.push_back(s.stringProperty("action"));
    }
    EXPECT_EQ(links, (std::vector<std::string>{"ZVSortOrderController", "ZVProfileController"}));
    EXPECT_EQ(actions, std::vector<std::string>{"respringButton"});
}

TEST_F(RootPageTest, RowsShowTheStoreThenTheirDefaultThenNothing) {
    startWith(PlistDictionary{{kHideTopGrabberLS, false}, {kSchemaVersion, "1.2"}});
    auto page = open();
    EXPECT_EQ(shown(*page, kHideTopGrabberLS), PlistValue(false));
    EXPECT_EQ(shown(*page, kHideBottomGrabberLS), PlistValue(true));
    EXPECT_FALSE(page->readPreferenceValue(PSSpecifier(PlistDictionary{{"key", "unknownKey"}})));
    EXPECT_EQ(page->readPreferenceValue(PSSpecifier(PlistDictionary{{"default", 3}})), PlistValue(3));
}

TEST_F(RootPageTest, EveryChangeIsWrittenAtOnceAndMarksTheProfileUnsaved) {
    startWith(PlistDictionary{{kHideBattery, true}, {kProfileName, "Work"}, {kProfileSaved, true}});
    auto page = open();
    auto at = page->indexPathForLabel(rowWithKey(*page, kHideBattery)->name());
    ASSERT_TRUE(at);
    // The same value as stored still writes.
    ASSERT_EQ(page->userSetValue(*at, PlistValue(true)), "");
    auto written = readDict(test::kSettingsFile);
    ASSERT_TRUE(written);
    EXPECT_EQ(*plistLookup(*written, kHideBattery), PlistValue(true));
    EXPECT_EQ(*plistLookup(*written, kProfileSaved), PlistValue(false));
    EXPECT_EQ(*plistLookup(*written, kProfileName), PlistValue("Work"));
    EXPECT_TRUE(plistLookup(*written, kLastModified));

    // A row without a key stores nothing.
    page->setPreferenceValue(PlistValue(true), PSSpecifier(PlistDictionary{{"label", "No key"}}));
    EXPECT_EQ(readDict(test::kSettingsFile), written);
}

TEST_F(RootPageTest, ASwitchThatCannotBeSavedSaysSoAndShowsTheFileAgain) {
    startWith(PlistDictionary{{kHideBattery, false}, {kProfileName, "Work"}, {kProfileSaved, true}});
    const auto before = readDict(test::kSettingsFile);
    test::makePreferencesFolderReadOnly();
    const int failed = test::runUnprivileged([&] {
        int failures = 0;
        auto page = open();
        auto at = page->indexPathForLabel(rowWithKey(*page, kHideBattery)->name());
        if (!at || page->userSetValue(*at, PlistValue(true)) != "") return 1;
        auto alerts = UIAlertView::queuedAlerts();
        if (alerts.size() != 1 || alerts[0]->title() != "Error, Could not save settings" ||
            alerts[0]->buttonTitles() != std::vector<std::string>{"Ok"} || !alerts[0]->message() ||
            alerts[0]->message()->find("permission") == std::string::npos)
            failures |= 2;
        // The switch, and the store behind it, show what the file holds.
        if (shown(*page, kHideBattery) != PlistValue(false)) failures |= 4;
        if (held() != *before) failures |= 8;
        return failures;
    });
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(readDict(test::kSettingsFile), before);
}





}  // namespace
}  // namespace zv
