// Which status-bar items fit a bar of a given width, and where each goes.
// A phone's status bar leaves out what does not fit rather than draw one
// item over another; this is that rule, over plain data, shared by the
// device's status bars (which report the frames) and the picture.
#pragma once

#include <vector>

namespace zv {

inline constexpr double kStatusBarMargin = 6;  // from each end of the bar to the outermost item
inline constexpr double kStatusBarGap = 5;     // between neighbouring items

struct FitItem {
    int type = 0;
    double width = 0;   // points, as drawn; 0 for an item that shows nothing now (it takes no room)
    int priority = 0;   // the item kept longer when room runs short is the higher one
};

struct ItemFrame {
    int type = 0;
    double x = 0;       // from the bar's left end, in points
    double width = 0;
};

struct FittedStatusBar {
    std::vector<ItemFrame> left;
    std::vector<ItemFrame> center;
    std::vector<ItemFrame> right;
    std::vector<int> leftOut;  // the types left out, in the order they were dropped
};

// Each region's items in order from its left end. The center region is
// centred on the bar; the left region runs from the left margin and the
// right region ends at the right margin. Items are left out one at a time
// until no two overlap: always the lowest priority among the items of a
// region that does not fit (a side region that reaches the center one, or
// the two sides that reach each other when the center is empty, or a center
// region wider than the bar); among equal priorities the item nearest the
// bar's middle goes first. A side region never loses an item for the other
// side's sake while the center stands between them.
FittedStatusBar fitStatusBar(const std::vector<FitItem>& left, const std::vector<FitItem>& center,
                             const std::vector<FitItem>& right, double barWidth);

}  // namespace zv
