// The table-view model: loading, geometry, and the user's tap, drag and
// swipe-delete as a page sees them.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "uikit/table/UITableView.h"

namespace {

// Rows are strings; moves and deletions are recorded.
class ListSource : public UITableViewDataSource, public UITableViewDelegate {
public:
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> headers;
    bool movable = true;
    UITableViewCellEditingStyle editingStyle = UITableViewCellEditingStyleDelete;
    std::vector<std::pair<NSIndexPath, NSIndexPath>> moves;
    std::vector<NSIndexPath> deletions, selections;
    int cellsMade = 0;

    NSInteger numberOfSectionsInTableView(UITableView&) override { return static_cast<NSInteger>(rows.size()); }
    NSInteger numberOfRowsInSection(UITableView&, NSInteger s) override { return static_cast<NSInteger>(rows[s].size()); }
    std::optional<std::string> titleForHeaderInSection(UITableView&, NSInteger s) override {
        if (s < static_cast<NSInteger>(headers.size())) return headers[s];
        return std::nullopt;
    }
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& table, NSIndexPath p) override {
        auto cell = table.dequeueReusableCellWithIdentifier("Cell");
        if (!cell) {
            cell = std::make_shared<UITableViewCell>(UITableViewCellStyleSubtitle, "Cell");
            ++cellsMade;
        }
        cell->textLabel()->setText(rows[p.section][p.row]);
        return cell;
    }
    bool canMoveRowAtIndexPath(UITableView&, NSIndexPath) override { return movable; }
    void moveRowAtIndexPath(UITableView&, NSIndexPath from, NSIndexPath to) override { moves.emplace_back(from, to); }
    void commitEditingStyle(UITableView&, UITableViewCellEditingStyle, NSIndexPath p) override { deletions.push_back(p); }
    UITableViewCellEditingStyle editingStyleForRowAtIndexPath(UITableView&, NSIndexPath) override { return editingStyle; }
    void didSelectRowAtIndexPath(UITableView&, NSIndexPath p) override { selections.push_back(p); }
};

std::vector<std::string> titles(UITableView& table, NSInteger section) {
    std::vector<std::string> out;
    for (const auto& cell : table.sections()[section].cells) out.push_back(cell->textLabel()->text());
    return out;
}

struct TableFixture : ::testing::Test {
    ListSource source;
    std::shared_ptr<UITableView> table = std::make_shared<UITableView>(CGRectMake(0, 0, 320, 568), UITableViewStyleGrouped);
    void SetUp() override {
        source.rows = {{"A", "B", "C"}, {}, {"X"}};
        source.headers = {"First", "", "Third"};
        table->setDataSource(&source);
        table->setDelegate(&source);
    }
};

TEST_F(TableFixture, RowAtPointFollowsHeadersRowsAndFooters) {
    // Section 0: header 28 (titled), rows 28..160, footer 18 -> 178.
    // Section 1: header 18 (empty title), no rows, footer 18 -> 214.
    // Section 2: header 28 -> 242, row 242..286, footer 18 -> 304.
    struct Probe {
        CGPoint point;
        std::optional<NSIndexPath> row;
    };
    const Probe probes[] = {
        {{10, 0}, std::nullopt},          // header of section 0
        {{10, 28}, NSIndexPath{0, 0}},    // top edge of the first row belongs to it
        {{10, 71.9}, NSIndexPath{0, 0}},
        {{10, 72}, NSIndexPath{0, 1}},    // bottom edge belongs to the next row
        {{319, 159}, NSIndexPath{0, 2}},
        {{10, 165}, std::nullopt},        // footer
        {{10, 200}, std::nullopt},        // the empty section
        {{10, 250}, NSIndexPath{2, 0}},
        {{10, 290}, std::nullopt},        // below the last row
        {{10, 5000}, std::nullopt},
        {{320, 250}, std::nullopt},       // right of the table
        {{-1, 250}, std::nullopt},
    };
    for (const auto& p : probes) {
        EXPECT_EQ(table->indexPathForRowAtPoint(p.point), p.row) << p.point.x << "," << p.point.y;
    }
    EXPECT_EQ(table->rectForRowAtIndexPath({2, 0}), CGRectMake(0, 242, 320, 44));
    EXPECT_EQ(table->rectForFooterInSection(2), CGRectMake(0, 286, 320, 18));
    EXPECT_EQ(table->contentHeight(), 304);
}

TEST_F(TableFixture, PlainStyleHasNoEmptyHeadersOrFooters) {
    auto plain = std::make_shared<UITableView>(CGRectMake(0, 0, 320, 568), UITableViewStylePlain);
    source.headers = {};
    plain->setDataSource(&source);
    EXPECT_EQ(plain->indexPathForRowAtPoint({1, 0}), (NSIndexPath{0, 0}));
    EXPECT_EQ(plain->indexPathForRowAtPoint({1, 132}), (NSIndexPath{2, 0}));
}

TEST_F(TableFixture, DragMovesTheRowOnScreenThenTellsTheDataSource) {
    table->setEditing(true);
    struct Drag {
        NSIndexPath from, to;
        std::vector<std::string> section0, section1;
    };
    // Each drag starts again from [A, B, C], [], [X].
    const Drag drags[] = {
        {{0, 0}, {0, 2}, {"B", "C", "A"}, {}},
        {{0, 2}, {0, 0}, {"C", "A", "B"}, {}},
        {{0, 1}, {0, 1}, {"A", "B", "C"}, {}},  // onto its own place: still reported
        {{0, 1}, {1, 0}, {"A", "C"}, {"B"}},    // into an empty section
    };
    for (const auto& d : drags) {
        table->reloadData();
        source.moves.clear();
        EXPECT_EQ(table->userMoveRow(d.from, d.to), "");
        EXPECT_EQ(titles(*table, 0), d.section0);
        EXPECT_EQ(titles(*table, 1), d.section1);
        ASSERT_EQ(source.moves.size(), 1u);
        EXPECT_EQ(source.moves[0].first, d.from);
        EXPECT_EQ(source.moves[0].second, d.to);
    }
}

TEST_F(TableFixture, RefusedDragsChangeNothing) {
    EXPECT_NE(table->userMoveRow({0, 0}, {0, 1}), "");  // not editing
    table->setEditing(true);
    EXPECT_NE(table->userMoveRow({0, 0}, {0, 3}), "");  // beyond the end of its own section
    EXPECT_NE(table->userMoveRow({0, 0}, {2, 2}), "");  // beyond the end of another
    EXPECT_NE(table->userMoveRow({0, 0}, {3, 0}), "");  // no such section
    EXPECT_NE(table->userMoveRow({1, 0}, {0, 0}), "");  // no such row
    source.movable = false;
    EXPECT_NE(table->userMoveRow({0, 0}, {0, 1}), "");
    EXPECT_TRUE(source.moves.empty());
    EXPECT_EQ(titles(*table, 0), (std::vector<std::string>{"A", "B", "C"}));
    // The last place of another section is fine.
    source.movable = true;
    EXPECT_EQ(table->userMoveRow({0, 0}, {2, 1}), "");
    EXPECT_EQ(titles(*table, 2), (std::vector<std::string>{"X", "A"}));
}

TEST_F(TableFixture, SwipeDeleteNeedsTheDeleteStyle) {
    EXPECT_EQ(table->userDeleteRow({0, 1}), "");
    ASSERT_EQ(source.deletions.size(), 1u);
    EXPECT_EQ(source.deletions[0], (NSIndexPath{0, 1}));
    EXPECT_EQ(titles(*table, 0).size(), 3u);  // the data source removes rows, not the table
    source.editingStyle = UITableViewCellEditingStyleNone;
    EXPECT_NE(table->userDeleteRow({0, 1}), "");
    EXPECT_EQ(source.deletions.size(), 1u);
}

TEST_F(TableFixture, TapSelectsOnlyWhenSelectionIsAllowed) {
    EXPECT_EQ(table->userSelectRow({2, 0}), "");
    EXPECT_EQ(table->indexPathForSelectedRow(), (NSIndexPath{2, 0}));
    table->deselectRowAtIndexPath({2, 0}, true);
    EXPECT_FALSE(table->indexPathForSelectedRow());

    table->setAllowsSelection(false);
    EXPECT_NE(table->userSelectRow({0, 0}), "");
    table->setAllowsSelection(true);
    table->setEditing(true);  // selection during editing is off by default
    EXPECT_NE(table->userSelectRow({0, 0}), "");
    EXPECT_EQ(source.selections.size(), 1u);
}

TEST_F(TableFixture, ReloadReusesCellsAndAsksAgain) {
    table->reloadData();
    EXPECT_EQ(source.cellsMade, 4);
    source.rows[0] = {"P", "Q"};
    table->reloadData();
    EXPECT_EQ(source.cellsMade, 4);  // all from the pool
    EXPECT_EQ(titles(*table, 0), (std::vector<std::string>{"P", "Q"}));
    EXPECT_EQ(table->reloadCount(), 2);
}

// A data source that answers nonsense counts and reloads from inside a load.
class HostileSource : public UITableViewDataSource {
public:
    UITableView* table = nullptr;
    NSInteger numberOfSectionsInTableView(UITableView&) override { return 2; }
    NSInteger numberOfRowsInSection(UITableView&, NSInteger s) override { return s == 0 ? -5 : 1; }
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& t, NSIndexPath) override {
        t.reloadData();
        return nullptr;
    }
};

TEST(TableView, NonsenseFromTheDataSourceIsSurvived) {
    HostileSource source;
    auto table = std::make_shared<UITableView>(CGRectMake(0, 0, 320, 568), UITableViewStylePlain);
    table->setDataSource(&source);
    ASSERT_EQ(table->numberOfSections(), 2);
    EXPECT_EQ(table->numberOfRowsInSection(0), 0);
    ASSERT_EQ(table->numberOfRowsInSection(1), 1);
    EXPECT_TRUE(table->cellForRowAtIndexPath({1, 0}));  // a null cell is shown as an empty one
    EXPECT_EQ(table->reloadCount(), 1);
}

}  // namespace
