// uikit/statusbar/ stands in for UIKit's status bar: the bar itself, its
// items and their views, and the raw status-bar record the system fills in.
// These are the host classes the plug-in replaces methods of.
//
// UIStatusBar: the host's status bar. It holds one UIStatusBarItem per item
// type the host has data for, lays them out by asking each item the seven
// placement questions through the runtime (so replaced methods take
// effect), and keeps one view of each kind whose methods may be replaced.
//
// Laying out an item asks, in this order: appearsInRegion: 0, 1 and 2; the
// order question of each region the item appears in (leftOrder, rightOrder,
// centerOrder); appearsOnLeft; appearsOnRight; and its class
// isItemWithTypeExclusive: with its type. The answers are kept until the
// item is laid out again. An item appears in every region that answered YES.
// Each region lists its items by ascending order value (ties by type), from
// its left end; when an item of a region is exclusive, the region shows its
// exclusive items only. While the bar shows only center items, the left and
// right regions are empty.
//
// The bar is as wide as the phone (320 points unless set). Its frames place
// each shown item at its width as drawn (the picture's glyph widths) and
// leave out, by the items' priorities, what does not fit (StatusBarFit.h).
//
// Through the runtime the status bar answers -setShowsOnlyCenterItems:(BOOL),
// which lays out every item again (recorded in the host trace). Its C++ side
// is the host's own: withdrawing and rebuilding single items, as the
// SpringBoard state aggregator and the host's reactions do.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <unordered_set>
#include <vector>

#include "StatusBarFit.h"
#include "runtime/Runtime.h"
#include "uikit/statusbar/StatusBarItem.h"
#include "uikit/statusbar/StatusBarItemViews.h"

struct StatusBarPlacement {
    std::int32_t type = 0;
    std::int64_t order = 0;
    bool appearsOnLeft = false;
    bool appearsOnRight = false;
    bool exclusive = false;
};

struct StatusBarLayout {
    std::vector<StatusBarPlacement> left;
    std::vector<StatusBarPlacement> center;
    std::vector<StatusBarPlacement> right;
};

// The item types a host has data for when it starts: Time, signal, carrier,
// Wi-Fi, battery, battery percentage, Bluetooth, alarm, location.
std::vector<std::int32_t> defaultStatusBarItemTypes();

class UIStatusBar : public objc_object {
public:
    // A status bar with the registered class UIStatusBar and an item for
    // each of the types, laid out.
    static std::unique_ptr<UIStatusBar> make(std::vector<std::int32_t> itemTypes);

    // The types the host has data for, in the order given.
    const std::vector<std::int32_t>& itemTypes() const { return itemTypes_; }
    // Replaces the host's data: every item is withdrawn and the listed types
    // are built anew.
    void setItemTypes(std::vector<std::int32_t> itemTypes);
    bool hasDataFor(std::int32_t type) const;

    // Takes the item of the type out of the bar (nothing when it is not in).
    void withdrawItem(std::int32_t type);
    // Replaces the item of the type by a new one and lays it out, when the
    // host has data for the type; otherwise withdraws it.
    void rebuildItem(std::int32_t type);
    bool isItemBuilt(std::int32_t type) const { return built_.count(type) != 0; }

    // Lays out every item again.
    void layOutAllItems();
    void setShowsOnlyCenterItems(bool onlyCenter);
    bool showsOnlyCenterItems() const { return onlyCenter_; }

    // The arrangement from the answers last given.
    StatusBarLayout layout() const;

    // The phone's width in points; setting it lays the bar out anew.
    double width() const { return width_; }
    void setWidth(double points);
    // The arrangement fitted to the width: each item's frame, and the items
    // left out for want of room.
    zv::FittedStatusBar frames() const;

    StatusBarItemViews& views() { return views_; }

    // Runs once, right after the next setShowsOnlyCenterItems: received
    // through the runtime has laid out the bar; then it is cleared. Lets a
    // host act from inside a caller's sequence of messages.
    std::function<void(bool onlyCenter)> onceAfterShowsOnlyCenterItems;

    // Runs after every change of the arrangement: an item built, rebuilt or
    // withdrawn, or every item laid out again. A host uses it to tell its
    // observers (the screen) that the bar laid out anew.
    std::function<void()> onLayout;

private:
    struct Answers {
        std::array<bool, 3> inRegion{};       // by region code: 0 left, 1 right, 2 center
        std::array<std::int64_t, 3> order{};  // by region code, asked only where inRegion
        bool appearsOnLeft = false;
        bool appearsOnRight = false;
        bool exclusive = false;
    };
    struct BuiltItem {
        std::unique_ptr<UIStatusBarItem> item;
        Answers answers;
    };

    static Answers ask(UIStatusBarItem& item);
    void didLayOut() const {
        if (onLayout) onLayout();
    }

    std::vector<std::int32_t> itemTypes_;
    std::unordered_set<std::int32_t> dataFor_;  // itemTypes_, for lookups
    std::map<std::int32_t, BuiltItem> built_;
    bool onlyCenter_ = false;
    double width_ = 320;
    StatusBarItemViews views_;
};

void registerStatusBarClass();
