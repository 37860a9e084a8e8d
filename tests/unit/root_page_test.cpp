// The root settings page over real files: its specifier list, the values
// rows show, changes written at once, the schema check on appearance, and
// the relaunch confirmation.
#include <filesystem>

#include "SettingsPageTest.h"
#include "ZVProfileController.h"
#include "ZVSortOrderController.h"
#include "ZorvaneSettingsListController.h"
#include "preferences/PSRootController.h"
#include "preferences/PSTableCell.h"
#include "preferences/PageRegistry.h"

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
            std::filesystem::path(__FILE__).parent_path() / "../../settings/resources/Zorvane.plist";
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

TEST_F(RootPageTest, WithoutASettingsFileTheFirstChangeCreatesIt) {
    auto page = open();
    ASSERT_EQ(page->userSetValue(*page->indexPathForLabel(rowWithKey(*page, kEnabled)->name()), PlistValue(true)), "");
    auto written = readDict(test::kSettingsFile);
    ASSERT_TRUE(written);
    EXPECT_EQ(written->size(), 3u);  // enabled, profileSaved, lastModified
}

TEST_F(RootPageTest, AppearanceRereadsOnlyAStoreNotAtTheCurrentSchema) {
    struct Case {
        const char* what;
        std::optional<PlistValue> schema;
        bool rereads;
    };
    const Case cases[] = {
        {"current", PlistValue("1.2"), false},
        {"older", PlistValue("1.1"), true},
        {"absent", std::nullopt, true},
        {"not a string", PlistValue(1.2), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PlistDictionary held{{kEnabled, false}};
        if (c.schema) held[kSchemaVersion] = *c.schema;
        startWith(held);
        auto page = open();
        // The file changes on disk behind the store's back.
        test::writeDict(test::kSettingsFile, {{kEnabled, true}, {kSchemaVersion, "1.2"}});
        page->viewWillAppear(true);
        EXPECT_EQ(store().boolForKey(kEnabled), c.rereads);
        EXPECT_EQ(shown(*page, kEnabled), PlistValue(c.rereads));
    }
}

TEST_F(RootPageTest, RespringAsksFirstAndOnlyYesGoesOn) {
    auto page = open();
    auto at = page->indexPathForLabel("Respring");
    ASSERT_TRUE(at);
    ASSERT_EQ(page->table()->userSelectRow(*at), "");
    auto alert = onlyAlert();
    ASSERT_TRUE(alert);
    EXPECT_FALSE(alert->title());
    EXPECT_EQ(alert->message(), "About to respring! Are you sure?");
    EXPECT_EQ(alert->buttonTitles(), (std::vector<std::string>{"No", "Yes"}));
    EXPECT_EQ(alert->delegate().get(), static_cast<UIAlertViewDelegate*>(page.get()));
    press(0);
    EXPECT_TRUE(UIAlertView::queuedAlerts().empty());
    EXPECT_TRUE(page->performAction("respringButton"));
    press(1);
    EXPECT_FALSE(page->performAction("somethingElse"));
}

TEST_F(RootPageTest, LinksOpenTheEditorAndTheProfileManager) {
    PageRegistry::registerPage<ZVSortOrderController>("ZVSortOrderController");
    PageRegistry::registerPage<ZVProfileController>("ZVProfileController");
    PSRootController stack(test::kContentSize);
    auto page = open();
    stack.pushController(page);
    for (const char* label : {"Sort Order", "Profiles"}) {
        SCOPED_TRACE(label);
        auto at = page->indexPathForLabel(label);
        ASSERT_TRUE(at);
        ASSERT_EQ(page->table()->userSelectRow(*at), "");
        ASSERT_EQ(stack.controllers().size(), 2u);
        EXPECT_EQ(stack.topController()->title(), label);
        stack.popController();
    }
}

}  // namespace
}  // namespace zv
