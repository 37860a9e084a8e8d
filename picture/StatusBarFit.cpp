#include "StatusBarFit.h"

#include <algorithm>
#include <optional>

namespace zv {
namespace {

// An item of no width (one that shows nothing now) takes no room and no gap.
bool takesRoom(const FitItem& item) { return item.width > 0; }

double regionWidth(const std::vector<FitItem>& items) {
    double width = 0;
    std::size_t shown = 0;
    for (const FitItem& item : items) {
        if (!takesRoom(item)) continue;
        width += item.width;
        ++shown;
    }
    if (shown > 1) width += kStatusBarGap * static_cast<double>(shown - 1);
    return width;
}

// The item of the region to leave out first: the lowest priority, and of
// equals the one nearest the bar's middle (`innerEnd`: the region's last
// item is the innermost for the left region, its first for the right one).
std::optional<std::size_t> weakest(const std::vector<FitItem>& items, bool innerEndIsLast) {
    std::optional<std::size_t> found;
    for (std::size_t k = 0; k < items.size(); ++k) {
        const std::size_t i = innerEndIsLast ? items.size() - 1 - k : k;
        if (!takesRoom(items[i])) continue;
        if (!found || items[i].priority < items[*found].priority) found = i;
    }
    return found;
}

struct Candidate {
    std::vector<FitItem>* region = nullptr;
    std::size_t index = 0;
};

void consider(std::optional<Candidate>& best, std::vector<FitItem>& region, bool innerEndIsLast) {
    const auto index = weakest(region, innerEndIsLast);
    if (!index) return;
    if (!best || region[*index].priority < (*best->region)[best->index].priority) best = Candidate{&region, *index};
}

std::vector<ItemFrame> place(const std::vector<FitItem>& items, double start) {
    std::vector<ItemFrame> frames;
    double x = start;
    for (const FitItem& item : items) {
        if (!takesRoom(item)) {
            frames.push_back({item.type, x, 0});
            continue;
        }
        frames.push_back({item.type, x, item.width});
        x += item.width + kStatusBarGap;
    }
    return frames;
}

}  // namespace

FittedStatusBar fitStatusBar(const std::vector<FitItem>& leftIn, const std::vector<FitItem>& centerIn,
                             const std::vector<FitItem>& rightIn, double barWidth) {
    std::vector<FitItem> left = leftIn, center = centerIn, right = rightIn;
    FittedStatusBar fitted;
    const double room = std::max(0.0, barWidth - 2 * kStatusBarMargin);
    for (;;) {
        const double l = regionWidth(left), c = regionWidth(center), r = regionWidth(right);
        std::optional<Candidate> drop;
        if (c > room) {
            consider(drop, center, true);
        } else if (!center.empty()) {
            // Each side has the room between its margin and the center region.
            const double side = (room - c) / 2 - kStatusBarGap;
            if (l > side) consider(drop, left, true);
            if (r > side) consider(drop, right, false);
        } else if (l + r + (left.empty() || right.empty() ? 0 : kStatusBarGap) > room) {
            consider(drop, left, true);
            consider(drop, right, false);
        }
        if (!drop) break;
        fitted.leftOut.push_back((*drop->region)[drop->index].type);
        drop->region->erase(drop->region->begin() + static_cast<std::ptrdiff_t>(drop->index));
    }
    fitted.left = place(left, kStatusBarMargin);
    fitted.center = place(center, (barWidth - regionWidth(center)) / 2);
    fitted.right = place(right, barWidth - kStatusBarMargin - regionWidth(right));
    return fitted;
}

}  // namespace zv
