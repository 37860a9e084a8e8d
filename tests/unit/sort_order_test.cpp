// The sort-order editor's rules: the fresh layout, how sections read a
// (possibly damaged) store, and the move over the five region records.
#include <gtest/gtest.h>

#include "ItemCatalogue.h"
#include "LayoutSeed.h"
#include "Region.h"
#include "SettingsKeys.h"
#include "SettingsTestFiles.h"
#include "SortOrderMove.h"
#include "SortOrderSections.h"

namespace zv {
namespace {

using test::namesOf;
using test::record;
using Names = std::vector<std::string>;

// The five lists of a move's result, in section order.
std::vector<Names> listsOf(const RegionRecords& records) {
    PlistDictionary settings;
    for (size_t i = 0; i < records.size(); ++i) settings[kRegionReadOrder[i].key] = PlistValue(records[i]);
    std::vector<Names> lists;
    for (const auto& region : kRegionReadOrder) lists.push_back(namesOf(settings, region.key));
    return lists;
}

PlistDictionary layout(std::initializer_list<const char*> left, std::initializer_list<const char*> center,
                       std::initializer_list<const char*> right, std::initializer_list<const char*> hidden,
                       std::initializer_list<const char*> byDefault) {
    return {{kLeft, record(left)},
            {kCenter, record(center)},
            {kRight, record(right)},
            {kHidden, record(hidden)},
            {kDefault, record(byDefault)}};
}

TEST(LayoutSeed, SeedsEmptyRegionsAllNamesInDefaultAndKeepsOtherKeys) {
    PlistDictionary settings{{kHideBattery, true}, {kEnabled, false}, {kLeft, record({"00 Time"})}};
    seedFreshLayout(settings);

    Names seed(kSeedList.begin(), kSeedList.end());
    ASSERT_EQ(seed.size(), 27u);
    EXPECT_EQ(seed.front(), "00 Time");
    EXPECT_EQ(seed.back(), "99 libstatusbar spacer 2");
    EXPECT_EQ(namesOf(settings, kDefault), seed);
    for (const char* key : {kLeft, kCenter, kRight, kHidden}) {
        SCOPED_TRACE(key);
        // An empty list under "data", not a missing record.
        const PlistValue* rec = plistLookup(settings, key);
        ASSERT_TRUE(rec && rec->dictionary());
        EXPECT_EQ(*rec, PlistValue(PlistDictionary{{kData, PlistArray{}}}));
    }
    EXPECT_EQ(*plistLookup(settings, kSchemaVersion), PlistValue("1.2"));
    EXPECT_EQ(*plistLookup(settings, kEnabled), PlistValue(true));
    EXPECT_EQ(*plistLookup(settings, kHideBattery), PlistValue(true));
    EXPECT_EQ(settings.size(), 8u);

    // The entries come in the order the editor sets them.
    Names order;
    for (const auto& [key, value] : freshLayoutEntries()) order.push_back(key);
    EXPECT_EQ(order, (Names{"left", "center", "right", "hidden", "default", "schemaVersion", "enabled"}));
}

TEST(LayoutSeed, SeedsOnlyWhenUnreadOrWithoutDefault) {
    EXPECT_TRUE(needsFreshLayout(false, layout({}, {}, {}, {}, {"00 Time"})));
    EXPECT_TRUE(needsFreshLayout(true, {{kEnabled, true}, {kLeft, record({"00 Time"})}}));
    // A present "default" is never reseeded, even empty or malformed.
    EXPECT_FALSE(needsFreshLayout(true, layout({}, {}, {}, {}, {})));
    EXPECT_FALSE(needsFreshLayout(true, {{kDefault, "not a record"}}));
}

TEST(SortOrderSections, TitlesKeysAndForgivingReads) {
    const Names titles{"Left", "Center", "Right", "Hidden", "Default"};
    for (int section = 0; section < 5; ++section) EXPECT_EQ(sortOrderSectionTitle(section), titles[section]);
    EXPECT_EQ(sortOrderSectionTitle(5), "Unknown");
    EXPECT_EQ(sortOrderSectionTitle(-1), "Unknown");
    EXPECT_EQ(sortOrderSectionKey(2), "right");
    EXPECT_EQ(sortOrderSectionKey(9), "default");

    const PlistDictionary settings{
        {kLeft, "a string"},
        {kCenter, PlistDictionary{{kData, "not a list"}}},
        {kRight, PlistDictionary{{"other", PlistArray{PlistValue("x")}}}},
        {kHidden, PlistDictionary{{kData, PlistArray{PlistValue("01 QuietMode (DND)"), PlistValue(7)}}}},
    };
    for (int section : {0, 1, 2, 4}) EXPECT_TRUE(sortOrderSectionList(settings, section).empty()) << section;
    const PlistArray hidden = sortOrderSectionList(settings, 3);
    ASSERT_EQ(hidden.size(), 2u);
    EXPECT_EQ(sortOrderRowText(hidden[0]), "01 QuietMode (DND)");
    EXPECT_EQ(sortOrderRowText(hidden[1]), "");  // a number shows as an empty row
}

TEST(SortOrderMove, MovesAsTheTableViewReorders) {
    const PlistDictionary settings = layout({"A", "B", "C"}, {}, {"R"}, {"X"}, {"D1", "D2"});
    struct Case {
        const char* what;
        SortOrderPosition from, to;
        std::vector<Names> expected;  // left, center, right, hidden, default
    };
    const Case cases[] = {
        {"down within a section", {0, 0}, {0, 2}, {{"B", "C", "A"}, {}, {"R"}, {"X"}, {"D1", "D2"}}},
        {"up within a section", {0, 2}, {0, 0}, {{"C", "A", "B"}, {}, {"R"}, {"X"}, {"D1", "D2"}}},
        {"onto its own place", {0, 1}, {0, 1}, {{"A", "B", "C"}, {}, {"R"}, {"X"}, {"D1", "D2"}}},
        {"the only row into hidden, after its row", {2, 0}, {3, 1}, {{"A", "B", "C"}, {}, {}, {"X", "R"}, {"D1", "D2"}}},
        {"into an empty section", {4, 1}, {1, 0}, {{"A", "B", "C"}, {"D2"}, {"R"}, {"X"}, {"D1"}}},
        {"from default to the top of left", {4, 0}, {0, 0}, {{"D1", "A", "B", "C"}, {}, {"R"}, {"X"}, {"D2"}}},
        {"back into default at its end", {0, 1}, {4, 2}, {{"A", "C"}, {}, {"R"}, {"X"}, {"D1", "D2", "B"}}},
        {"a row past the end appends", {3, 0}, {2, 40}, {{"A", "B", "C"}, {}, {"R", "X"}, {}, {"D1", "D2"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto records = moveSortOrderRow(settings, c.from, c.to);
        ASSERT_TRUE(records);
        EXPECT_EQ(listsOf(*records), c.expected);
    }
}

TEST(SortOrderMove, RewritesEveryRecordWithDataOnly) {
    PlistDictionary settings = layout({"A"}, {}, {}, {}, {"B"});
    settings[kCenter] = PlistDictionary{{kData, PlistArray{}}, {"note", "kept by nobody"}};
    settings[kDefault] = PlistDictionary{{kData, PlistArray{PlistValue("B")}}, {"extra", 1}};
    auto records = moveSortOrderRow(settings, {0, 0}, {0, 0});
    ASSERT_TRUE(records);
    for (const PlistDictionary& rec : *records) {
        EXPECT_EQ(rec.size(), 1u);
        EXPECT_TRUE(plistLookup(rec, kData)->array());
    }
}

TEST(SortOrderMove, DamagedRecordsReadAsEmptyAndNeverCostTheOtherLists) {
    struct Case {
        const char* what;
        PlistValue center;  // what the store holds under "center"
    };
    const Case cases[] = {
        {"not a dictionary", PlistValue("garbage")},
        {"data is not a list", PlistValue(PlistDictionary{{kData, 12}})},
        {"no data", PlistValue(PlistDictionary{})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PlistDictionary settings = layout({"A", "B"}, {}, {"R"}, {"X"}, {"D"});
        settings[kCenter] = c.center;
        auto records = moveSortOrderRow(settings, {0, 0}, {1, 0});
        ASSERT_TRUE(records);
        EXPECT_EQ(listsOf(*records), (std::vector<Names>{{"B"}, {"A"}, {"R"}, {"X"}, {"D"}}));
    }
    // Records missing altogether: only "default" is there.
    const PlistDictionary onlyDefault{{kDefault, record({"D1", "D2"})}};
    auto records = moveSortOrderRow(onlyDefault, {4, 1}, {2, 0});
    ASSERT_TRUE(records);
    EXPECT_EQ(listsOf(*records), (std::vector<Names>{{}, {}, {"D2"}, {}, {"D1"}}));
    // Non-text elements travel like any other and are not lost.
    PlistDictionary mixed = layout({}, {}, {}, {}, {"D"});
    mixed[kDefault] = PlistDictionary{{kData, PlistArray{PlistValue(5), PlistValue("D")}}};
    records = moveSortOrderRow(mixed, {4, 0}, {0, 0});
    ASSERT_TRUE(records);
    EXPECT_EQ(*plistLookup((*records)[0], kData), PlistValue(PlistArray{PlistValue(5)}));
}

TEST(SortOrderMove, RejectsMovesThatNameNoRow) {
    const PlistDictionary settings = layout({"A"}, {}, {}, {}, {"D"});
    const std::pair<SortOrderPosition, SortOrderPosition> rejected[] = {
        {{0, 1}, {0, 0}},   // past the end of the source
        {{1, 0}, {0, 0}},   // from an empty section
        {{0, -1}, {0, 0}},  // negative row
        {{5, 0}, {0, 0}},   // no such source section
        {{-1, 0}, {0, 0}},
        {{0, 0}, {5, 0}},   // no such destination section
    };
    for (const auto& [from, to] : rejected) {
        SCOPED_TRACE(testing::Message() << from.section << "," << from.row << " -> " << to.section << "," << to.row);
        EXPECT_FALSE(moveSortOrderRow(settings, from, to));
    }
    EXPECT_FALSE(moveSortOrderRow({}, {4, 0}, {0, 0}));
}

}  // namespace
}  // namespace zv
