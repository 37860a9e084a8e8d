// The sort-order editor page over real files: drops rewrite the store and
// the settings file, and a damaged store costs no list.
#include <filesystem>

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

TEST_F(SortOrderPageTest, ADropThatCannotBeSavedSaysSoAndShowsTheFilesOrderAgain) {
    startWith(PlistDictionary{{kLeft, record({"L"})}, {kDefault, record({"D1", "D2"})}, {kProfileSaved, true}});
    const auto before = readDict(test::kSettingsFile);
    test::makePreferencesFolderReadOnly();
    const int failed = test::runUnprivileged([&] {
        int failures = 0;
        auto page = open();
        if (page->tableView()->userMoveRow(NSIndexPath{4, 1}, NSIndexPath{0, 0}) != "") return 1;
        auto alerts = UIAlertView::queuedAlerts();
        if (alerts.size() != 1 || alerts[0]->title() != "Error, Could not save settings" ||
            alerts[0]->buttonTitles() != std::vector<std::string>{"Ok"} || !alerts[0]->message() ||
            alerts[0]->message()->find("permission") == std::string::npos)
            failures |= 2;
        if (rows(*page, 0) != Names{"L"} || rows(*page, 4) != Names{"D1", "D2"}) failures |= 4;
        if (held() != *before) failures |= 8;
        return failures;
    });
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(readDict(test::kSettingsFile), before);
}


}  // namespace
}  // namespace zv
