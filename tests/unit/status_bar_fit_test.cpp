// The status bar's fitting rule: which items a bar of a given width leaves
// out, and where the others go.
#include <gtest/gtest.h>

#include "StatusBarFit.h"

namespace zv {
namespace {

std::vector<int> types(const std::vector<ItemFrame>& frames) {
    std::vector<int> list;
    for (const ItemFrame& frame : frames) list.push_back(frame.type);
    return list;
}

// No two frames of the bar overlap, and each lies within the bar.
void expectApart(const FittedStatusBar& fitted, double barWidth) {
    std::vector<ItemFrame> all = fitted.left;
    all.insert(all.end(), fitted.center.begin(), fitted.center.end());
    all.insert(all.end(), fitted.right.begin(), fitted.right.end());
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_GE(all[i].x, 0) << all[i].type;
        EXPECT_LE(all[i].x + all[i].width, barWidth) << all[i].type;
        for (std::size_t j = i + 1; j < all.size(); ++j)
            EXPECT_TRUE(all[i].x + all[i].width <= all[j].x || all[j].x + all[j].width <= all[i].x)
                << all[i].type << " and " << all[j].type;
    }
}

TEST(StatusBarFit, ASideThatReachesTheCentredTimeLosesItsLowestPrioritiesOnly) {
    const std::vector<FitItem> left{{3, 17, 85}, {4, 50, 40}, {5, 15, 80}};
    const std::vector<FitItem> center{{0, 35, 100}};
    // Location, alarm, Bluetooth, percent, battery, and two more icons.
    const std::vector<FitItem> right{{16, 11, 50}, {13, 14, 35}, {17, 14, 30}, {19, 15, 30},
                                     {11, 9, 55},  {8, 34, 65},  {7, 26, 95}};

    const FittedStatusBar narrow = fitStatusBar(left, center, right, 320);
    expectApart(narrow, 320);
    EXPECT_EQ(types(narrow.left), (std::vector<int>{3, 4, 5}));  // the left side had room: nothing of it goes
    EXPECT_EQ(types(narrow.center), (std::vector<int>{0}));
    EXPECT_NEAR(narrow.center[0].x, (320 - 35) / 2.0, 0.01);
    // Right has (308 - 35) / 2 - 5 = 131.5 points beside the time: the two
    // priority-30 icons go, the one nearer the middle first.
    EXPECT_EQ(narrow.leftOut, (std::vector<int>{17, 19}));
    EXPECT_EQ(types(narrow.right), (std::vector<int>{16, 13, 11, 8, 7}));
    EXPECT_NEAR(narrow.right.back().x + narrow.right.back().width, 314, 0.01);

    const FittedStatusBar wide = fitStatusBar(left, center, right, 414);
    expectApart(wide, 414);
    EXPECT_TRUE(wide.leftOut.empty());
    EXPECT_EQ(wide.right.size(), right.size());
}

TEST(StatusBarFit, WithoutCenterItemsTheSidesShareTheBarAndNothingWiderThanItFits) {
    std::vector<FitItem> right;
    for (int type = 1; type <= 30; ++type) right.push_back({type, 14, type % 3});
    const FittedStatusBar fitted = fitStatusBar({{32, 60, 90}}, {}, right, 320);
    expectApart(fitted, 320);
    EXPECT_EQ(types(fitted.left), (std::vector<int>{32}));
    // 308 - 60 - 5 = 243 points for the right side: 13 items of 14 with
    // gaps. The ten of priority 2 stay, and of priority 1 the three nearest
    // the bar's right end.
    EXPECT_EQ(types(fitted.right), (std::vector<int>{2, 5, 8, 11, 14, 17, 20, 22, 23, 25, 26, 28, 29}));
    EXPECT_EQ(fitted.leftOut.size() + fitted.right.size() + 1, 31u);

    // An item wider than the bar is left out, not drawn past its ends.
    const FittedStatusBar tooWide = fitStatusBar({}, {{0, 500, 100}}, {{7, 26, 95}}, 320);
    expectApart(tooWide, 320);
    EXPECT_TRUE(tooWide.center.empty());
    EXPECT_EQ(types(tooWide.right), (std::vector<int>{7}));
}

}  // namespace
}  // namespace zv
