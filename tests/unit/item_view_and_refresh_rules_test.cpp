// The item-view rules and the refresh / lock-screen rules, row by row.
#include <gtest/gtest.h>

// GCC 12 warns, wrongly, that copying the settings' optional table in the
// case lists may read uninitialised memory.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include <algorithm>
#include <string>

#include "ItemCatalogue.h"
#include "ItemViewRules.h"
#include "RefreshRules.h"
#include "RuleTestSettings.h"

namespace zv {
namespace {

using test::placed;
using test::with;
using B = RuleAnswer<bool>;
using rules::BreadcrumbView;

TEST(ItemViewRules, ImageSideFollowsTheRegionWithOppositeRulesForTheTwoViews) {
    struct Case {
        const char* name;
        PluginSettings settings;
        B breadcrumb, openInSafari;
    };
    const B prev = B::previous();
    const std::vector<Case> cases{
        {"both right", placed({{"32", 1}, {"33", 1}}), B::answer(true), prev},
        {"both left", placed({{"32", 0}, {"33", 0}}), prev, B::answer(false)},
        {"both center", placed({{"32", 2}, {"33", 2}}), prev, prev},
        {"both hidden", placed({{"32", 4}, {"33", 4}}), prev, prev},
        {"both default", placed({{"32", 5}, {"33", 5}}), prev, prev},
        {"no entries: OpenInSafari reads as left", placed({{"03", 1}}), prev, B::answer(false)},
        {"plug-in off", test::switchedOff(placed({{"32", 1}, {"33", 0}})), prev, prev},
        {"no table", test::withoutTable(placed({{"32", 1}, {"33", 0}})), prev, prev},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rules::shouldLayoutImageOnRight(c.settings, BreadcrumbView::Breadcrumb), c.breadcrumb) << c.name;
        EXPECT_EQ(rules::shouldLayoutImageOnRight(c.settings, BreadcrumbView::OpenInSafari), c.openInSafari)
            << c.name;
    }
}

TEST(ItemViewRules, ShortTitleFollowsTheStoredSwitchAloneAndTheGlyphNeedsBothSwitches) {
    // The stored switch already holds `enabled` of the load that set it; a
    // later load without a file turns `enabled` off but keeps it.
    PluginSettings keptShort = test::switchedOff(placed({}));
    keptShort.shortBreadcrumb = true;
    EXPECT_TRUE(rules::titleIsDestinationText(keptShort));
    EXPECT_FALSE(rules::titleIsDestinationText(placed({})));

    const auto glyph = [](bool enabled, bool hide) {
        PluginSettings s;
        s.enabled = enabled;
        s.hideBattery = hide;
        return rules::drawsTransparentBatteryGlyph(s);
    };
    EXPECT_TRUE(glyph(true, true));
    EXPECT_FALSE(glyph(true, false));
    EXPECT_FALSE(glyph(false, true));
}

TEST(RefreshRules, ReloadListIsTheCatalogueWithoutTimePlusAndSpacers) {
    std::vector<std::int32_t> expected;
    for (std::string_view name : kItemCatalogue) {
        const int type = std::stoi(std::string(name.substr(0, 2)));
        if (type != 0 && type != 14 && type != 98 && type != 99) expected.push_back(type);
    }
    EXPECT_EQ(std::vector<std::int32_t>(rules::kReloadList.begin(), rules::kReloadList.end()), expected);
}

TEST(RefreshRules, GrabbersAreHiddenOnlyWhenBothSwitchesAreOn) {
    struct Case {
        bool enabled, hideTop, hideBottom, requested;
        bool top, bottom;
    };
    const std::vector<Case> cases{
        {true, true, true, false, true, true},     {true, true, false, false, true, false},
        {true, false, true, false, false, true},   {false, true, true, false, false, false},
        {true, false, false, true, true, true},    {false, true, true, true, true, true},
    };
    for (const Case& c : cases) {
        PluginSettings s;
        s.enabled = c.enabled;
        s.hideTopGrabberLS = c.hideTop;
        s.hideBottomGrabberLS = c.hideBottom;
        EXPECT_EQ(rules::grabberHiddenValue(s, rules::Grabber::Top, c.requested), c.top);
        EXPECT_EQ(rules::grabberHiddenValue(s, rules::Grabber::Bottom, c.requested), c.bottom);
    }
}

TEST(RefreshRules, LockScreenTime) {
    const auto lockTime = [](PluginSettings s) {
        s.enableLockScreenTime = true;
        return s;
    };
    struct Case {
        const char* name;
        PluginSettings settings;
        bool previous;
        bool expected;
    };
    const std::vector<Case> cases{
        {"plug-in off", test::switchedOff(lockTime(placed({{"00", 0}}))), false, false},
        {"lock-screen time off", placed({{"00", 0}}), false, false},
        {"no table", test::withoutTable(lockTime(placed({}))), false, true},
        {"no entry for Time", lockTime(placed({{"03", 0}})), false, true},
        {"Time left", lockTime(placed({{"00", 0}})), false, true},
        {"Time at default", lockTime(placed({{"00", 5}})), false, true},
        {"Time hidden keeps NO", lockTime(placed({{"00", 4}})), false, false},
        {"Time hidden keeps YES", lockTime(placed({{"00", 4}})), true, true},
    };
    for (const Case& c : cases) EXPECT_EQ(rules::shouldShowLockStatusBarTime(c.settings, c.previous), c.expected) << c.name;
}

TEST(RefreshRules, NotificationCenterTransitions) {
    using T = rules::NotificationCenterTransition;
    using A = rules::NotificationCenterActions;
    const PluginSettings open = placed({});
    const PluginSettings lockTimeOn = with(placed({}), [](PluginSettings& s) { s.enableLockScreenTime = true; });
    const PluginSettings off = test::switchedOff(placed({}));
    EXPECT_EQ(rules::notificationCenterActions(open, T::WillPresent), (A{true, true, true, true}));
    EXPECT_EQ(rules::notificationCenterActions(open, T::WillDismiss), (A{true, false, true, false}));
    EXPECT_EQ(rules::notificationCenterActions(open, T::DidDismiss), (A{true, false, false, true}));
    for (T t : {T::WillPresent, T::WillDismiss, T::DidDismiss}) {
        EXPECT_EQ(rules::notificationCenterActions(lockTimeOn, t), A{});
        EXPECT_EQ(rules::notificationCenterActions(off, t), A{});
    }
}

}  // namespace
}  // namespace zv
