// The sort-order editor page over real files: seeding, the table it shows,
// and drops that rewrite the store and the settings file at once.
#include "SettingsPageTest.h"
#include "SettingsTestFiles.h"
#include "ZVSortOrderController.h"

namespace zv {
namespace {

using test::namesOf;
using test::readDict;
using test::record;
using Names = std::vector<std::string>;

class SortOrderPageTest : public test::SettingsPageTest {
protected:
    std::shared_ptr<ZVSortOrderController> open() {
        auto page = std::make_shared<ZVSortOrderController>();
        EXPECT_TRUE(page->initForContentSize(test::kContentSize));
        page->view();
        return page;
    }
    static Names rows(ZVSortOrderController& page, NSInteger section) {
        Names out;
        UITableView& table = *page.tableView();
        for (NSInteger row = 0; row < table.numberOfRowsInSection(section); ++row)
            out.push_back(table.cellForRowAtIndexPath(NSIndexPath{section, row})->textLabel()->text());
        return out;
    }
};

TEST_F(SortOrderPageTest, WithoutSettingsShowsTheSeedAndWritesNothingUntilAMove) {
    auto page = open();
    UITableView& table = *page->tableView();
    EXPECT_EQ(page->title(), "Sort Order");
    EXPECT_EQ(page->view(), page->tableView()->shared_from_this());
    EXPECT_EQ(table.style(), UITableViewStyleGrouped);
    EXPECT_EQ(table.frame(), CGRectMake(0, 0, 320, 568));
    EXPECT_TRUE(table.isEditing());
    EXPECT_FALSE(table.allowsSelection());
    EXPECT_EQ(table.contentInset().top, 44);
    EXPECT_EQ(table.scrollIndicatorInsets(), table.contentInset());

    ASSERT_EQ(table.numberOfSections(), 5);
    const Names titles{"Left", "Center", "Right", "Hidden", "Default"};
    for (NSInteger s = 0; s < 5; ++s) EXPECT_EQ(table.sections()[s].headerTitle, titles[s]);
    for (NSInteger s = 0; s < 4; ++s) EXPECT_TRUE(rows(*page, s).empty());
    const Names seeded = rows(*page, 4);
    ASSERT_EQ(seeded.size(), 27u);
    EXPECT_EQ(seeded[10], "11 Bluetooth");
    EXPECT_EQ(table.cellForRowAtIndexPath(NSIndexPath{4, 0})->style(), UITableViewCellStyleSubtitle);
    EXPECT_EQ(table.cellForRowAtIndexPath(NSIndexPath{4, 0})->reuseIdentifier(), "Cell");
    EXPECT_FALSE(std::filesystem::exists(test::preferencesFile(test::kSettingsFile)));
    EXPECT_EQ(store().objectForKey(kEnabled), PlistValue(true));

    // Bluetooth to the top of Left.
    ASSERT_EQ(table.userMoveRow(NSIndexPath{4, 10}, NSIndexPath{0, 0}), "");
    auto written = readDict(test::kSettingsFile);
    ASSERT_TRUE(written);
    EXPECT_EQ(namesOf(*written, kLeft), Names{"11 Bluetooth"});
    EXPECT_EQ(namesOf(*written, kDefault).size(), 26u);
    EXPECT_EQ(*plistLookup(*written, kSchemaVersion), PlistValue("1.2"));
    EXPECT_EQ(*plistLookup(*written, kEnabled), PlistValue(true));
    EXPECT_EQ(*plistLookup(*written, kProfileSaved), PlistValue(false));
    EXPECT_TRUE(plistLookup(*written, kLastModified));
    EXPECT_EQ(*written, held());
    EXPECT_EQ(rows(*page, 0), Names{"11 Bluetooth"});
}

TEST_F(SortOrderPageTest, AnExistingLayoutIsNeverReseeded) {
    startWith(PlistDictionary{{kDefault, record({})}, {kEnabled, false}, {kProfileSaved, true}});
    auto page = open();
    for (NSInteger s = 0; s < 5; ++s) EXPECT_TRUE(rows(*page, s).empty());
    EXPECT_EQ(store().objectForKey(kEnabled), PlistValue(false));
    EXPECT_FALSE(store().objectForKey(kSchemaVersion));
}

TEST_F(SortOrderPageTest, EveryDropRewritesAllFiveRecordsAndMarksUnsaved) {
    PlistDictionary settings{{kLeft, record({"A", "B", "C"})},
                             {kCenter, PlistDictionary{{kData, PlistArray{}}, {"extra", 1}}},
                             {kRight, record({})},
                             {kHidden, record({"X"})},
                             {kDefault, record({"D"})},
                             {kProfileSaved, true},
                             {kHideBattery, true}};
    startWith(settings);
    auto page = open();
    UITableView& table = *page->tableView();

    ASSERT_EQ(table.userMoveRow(NSIndexPath{0, 0}, NSIndexPath{0, 2}), "");
    EXPECT_EQ(rows(*page, 0), (Names{"B", "C", "A"}));
    ASSERT_EQ(table.userMoveRow(NSIndexPath{3, 0}, NSIndexPath{2, 0}), "");  // into an empty section
    auto written = readDict(test::kSettingsFile);
    ASSERT_TRUE(written);
    EXPECT_EQ(namesOf(*written, kLeft), (Names{"B", "C", "A"}));
    EXPECT_EQ(namesOf(*written, kRight), Names{"X"});
    EXPECT_TRUE(namesOf(*written, kHidden).empty());
    EXPECT_EQ(*plistLookup(*written, kCenter), PlistValue(PlistDictionary{{kData, PlistArray{}}}));
    EXPECT_EQ(*plistLookup(*written, kProfileSaved), PlistValue(false));
    EXPECT_EQ(*plistLookup(*written, kHideBattery), PlistValue(true));
}

TEST_F(SortOrderPageTest, DamagedRecordsShowEmptyAndMovesKeepTheOtherLists) {
    startWith(PlistDictionary{{kLeft, "garbage"}, {kRight, PlistDictionary{{kData, 3}}}, {kDefault, record({"D1", "D2"})}});
    auto page = open();
    for (NSInteger s : {0, 1, 2, 3}) EXPECT_TRUE(rows(*page, s).empty());
    ASSERT_EQ(page->tableView()->userMoveRow(NSIndexPath{4, 1}, NSIndexPath{0, 0}), "");
    auto written = readDict(test::kSettingsFile);
    ASSERT_TRUE(written);
    EXPECT_EQ(namesOf(*written, kLeft), Names{"D2"});
    EXPECT_EQ(namesOf(*written, kDefault), Names{"D1"});
    for (const char* key : {kCenter, kRight, kHidden})
        EXPECT_EQ(*plistLookup(*written, key), PlistValue(PlistDictionary{{kData, PlistArray{}}})) << key;
}

TEST_F(SortOrderPageTest, AMoveTheStoreCannotMakeChangesNothingAndRedrawsTheStore) {
    startWith(PlistDictionary{{kDefault, record({"D"})}});
    auto page = open();
    UITableView& table = *page->tableView();
    const int loads = table.reloadCount();
    page->moveRowAtIndexPath(table, NSIndexPath{0, 3}, NSIndexPath{4, 0});
    page->moveRowAtIndexPath(table, NSIndexPath{4, 0}, NSIndexPath{7, 0});
    EXPECT_EQ(*readDict(test::kSettingsFile), (PlistDictionary{{kDefault, record({"D"})}}));  // not rewritten
    EXPECT_EQ(held(), (PlistDictionary{{kDefault, record({"D"})}}));
    EXPECT_GT(table.reloadCount(), loads);
}

TEST_F(SortOrderPageTest, AFailedSaveKeepsTheMoveInTheStore) {
    startWith(PlistDictionary{{kDefault, record({"D"})}});
    auto page = open();
    std::filesystem::remove(test::preferencesFile(test::kSettingsFile));
    std::filesystem::create_directory(test::preferencesFile(test::kSettingsFile));  // blocks the replacement
    ASSERT_EQ(page->tableView()->userMoveRow(NSIndexPath{4, 0}, NSIndexPath{3, 0}), "");
    EXPECT_EQ(namesOf(held(), kHidden), Names{"D"});
    EXPECT_EQ(rows(*page, 3), Names{"D"});
    std::filesystem::remove(test::preferencesFile(test::kSettingsFile));
    ASSERT_TRUE(store().save());
    EXPECT_EQ(namesOf(*readDict(test::kSettingsFile), kHidden), Names{"D"});
}

}  // namespace
}  // namespace zv
