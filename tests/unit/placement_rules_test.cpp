// The seven placement questions, row by row.
#include <gtest/gtest.h>

// GCC 12 warns, wrongly, that copying the settings' optional table in the
// case lists may read uninitialised memory.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include "PlacementRules.h"
#include "RuleTestSettings.h"

namespace zv {
namespace {

using test::placed;
using test::RecordingHostState;
using test::with;
using B = RuleAnswer<bool>;
using I = RuleAnswer<std::int64_t>;

const B kPrevious = B::previous();
const B kYes = B::answer(true);
const B kNo = B::answer(false);

constexpr std::int32_t kLeft = 0, kRight = 1, kCenter = 2;

struct Live {
    bool locked = false;
    bool connected = false;
};

struct RegionCase {
    const char* name;
    PluginSettings settings;
    std::int32_t type;
    // Expected answers for regions 0 (left), 1 (right), 2 (center).
    std::array<B, 3> expected;
    RuntimeFlags flags{};
    Live live{};
    // What the rule asked of the host for each single question.
    std::vector<std::string> asked{};
};

PluginSettings lockedTimeOff(PluginSettings s) {
    s.enableLockScreenTime = false;
    return s;
}

PluginSettings connectedOnly(PluginSettings s) {
    s.bluetoothConnectedOnly = true;
    return s;
}

PluginSettings hideBattery(PluginSettings s) {
    s.hideBattery = true;
    return s;
}

TEST(PlacementRules, AppearsInRegionRowByRow) {
    const std::vector<RegionCase> cases{
        // Row 1: nothing to say.
        {"plug-in off", test::switchedOff(placed({{"03", 0}})), 3, {kPrevious, kPrevious, kPrevious}},
        {"plug-in off, Time on the locked screen", test::switchedOff(placed({{"00", 1}})), 0,
         {kPrevious, kPrevious, kPrevious}, {}, {true, false}},
        {"no table", test::withoutTable(placed({{"03", 0}})), 3, {kPrevious, kPrevious, kPrevious}},
        // Rows 2 and 3: Time on the locked screen.
        {"locked, Time at default", lockedTimeOff(placed({{"00", 5}})), 0, {kPrevious, kPrevious, kPrevious}, {},
         {true, false}, {"lock"}},
        {"locked, Time placed right", placed({{"00", 1}}), 0, {kNo, kNo, kNo}, {}, {true, false}, {"lock"}},
        {"locked, Time hidden", placed({{"00", 4}}), 0, {kNo, kNo, kNo}, {}, {true, false}, {"lock"}},
        {"locked, Time without entry reads as left", placed({{"03", 0}}), 0, {kNo, kNo, kNo}, {}, {true, false},
         {"lock"}},
        {"locked under the notification centre, Time right", placed({{"00", 1}}), 0, {kNo, kYes, kNo},
         {true, 0}, {true, false}, {"lock"}},
        {"locked under the notification centre, Time without entry", placed({{"03", 0}}), 0,
         {kPrevious, kPrevious, kPrevious}, {true, 0}, {true, false}, {"lock"}},
        {"unlocked, Time right", placed({{"00", 1}}), 0, {kNo, kYes, kNo}, {}, {false, false}, {"lock"}},
        {"lock-screen time on: the lock state is never asked",
         with(placed({{"00", 1}}), [](PluginSettings& s) { s.enableLockScreenTime = true; }), 0, {kNo, kYes, kNo},
         {}, {true, false}, {}},
        // Rows 4 to 8: Bluetooth under bluetoothConnectedOnly.
        {"Bluetooth hidden: the manager is not asked", connectedOnly(placed({{"11", 4}})), 11, {kNo, kNo, kNo}, {},
         {false, true}, {}},
        {"Bluetooth left, not connected", connectedOnly(placed({{"11", 0}})), 11, {kNo, kNo, kNo}, {},
         {false, false}, {"bluetooth"}},
        {"Bluetooth left, connected", connectedOnly(placed({{"11", 0}})), 11, {kYes, kNo, kNo}, {}, {false, true},
         {"bluetooth"}},
        {"Bluetooth center, connected", connectedOnly(placed({{"11", 2}})), 11, {kNo, kNo, kYes}, {},
         {false, true}, {"bluetooth"}},
        {"Bluetooth at default, connected", connectedOnly(placed({{"11", 5}})), 11,
         {kPrevious, kPrevious, kPrevious}, {}, {false, true}, {"bluetooth"}},
        {"Bluetooth at default, not connected", connectedOnly(placed({{"11", 5}})), 11, {kNo, kNo, kNo}, {},
         {false, false}, {"bluetooth"}},
        {"Bluetooth without entry reads as left", connectedOnly(placed({{"03", 0}})), 11, {kYes, kNo, kNo}, {},
         {false, true}, {"bluetooth"}},
        {"Bluetooth without the switch follows its placement", placed({{"11", 0}}), 11, {kYes, kNo, kNo}, {},
         {false, false}, {}},
        // Row 9: Battery under hideBattery.
        {"Battery hidden while the state is 0", hideBattery(placed({{"07", 1}})), 7, {kNo, kNo, kNo}},
        {"Battery without entry hidden while the state is 0", hideBattery(placed({{"03", 0}})), 7, {kNo, kNo, kNo}},
        {"Battery follows its placement once the state is not 0", hideBattery(placed({{"07", 1}})), 7,
         {kNo, kYes, kNo}, {false, 2}},
        {"Battery without entry, state not 0", hideBattery(placed({{"03", 0}})), 7,
         {kPrevious, kPrevious, kPrevious}, {false, -1}},
        {"Battery, switch off", placed({{"07", 2}}), 7, {kNo, kNo, kYes}},
        // Rows 10 to 13: the placement.
        {"center item", placed({{"05", 2}}), 5, {kNo, kNo, kYes}},
        {"right item", placed({{"05", 1}}), 5, {kNo, kYes, kNo}},
        {"hidden item", placed({{"05", 4}}), 5, {kNo, kNo, kNo}},
        {"item at default", placed({{"05", 5}}), 5, {kPrevious, kPrevious, kPrevious}},
        {"type without entry", placed({{"05", 0}}), 6, {kPrevious, kPrevious, kPrevious}},
        {"type 100 is not key \"10\"", placed({{"10", 0}}), 100, {kPrevious, kPrevious, kPrevious}},
        {"type 100 has key \"100\"", placed({{"100", 2}}), 100, {kNo, kNo, kYes}},
        {"a negative type has key \"-1\"", placed({{"-1", 1}, {"01", 0}}), -1, {kNo, kYes, kNo}},
    };
    for (const RegionCase& c : cases) {
        for (std::int32_t region : {kLeft, kRight, kCenter}) {
            RecordingHostState live;
            live.locked = c.live.locked;
            live.connected = c.live.connected;
            const B answer = rules::appearsInRegion(c.settings, c.type, region, c.flags, live);
            EXPECT_EQ(answer, c.expected[static_cast<std::size_t>(region)]) << c.name << ", region " << region;
            EXPECT_EQ(live.asked, c.asked) << c.name << ", region " << region;
        }
    }
}

TEST(PlacementRules, OrdersComeFromTheEntryOfTheirOwnRegionOnly) {
    struct Case {
        const char* name;
        PluginSettings settings;
        std::int32_t type;
        I left, center, right;
    };
    const I prev = I::previous();
    const std::vector<Case> cases{
        {"left", placed({{"04", 0, 3}}), 4, I::answer(3), prev, prev},
        {"center", placed({{"04", 2, 17}}), 4, prev, I::answer(17), prev},
        {"right is code 1", placed({{"04", 1, 18}}), 4, prev, prev, I::answer(18)},
        {"hidden", placed({{"04", 4, 2}}), 4, prev, prev, prev},
        {"default", placed({{"04", 5, 2}}), 4, prev, prev, prev},
        {"no entry", placed({{"05", 0, 2}}), 4, prev, prev, prev},
        {"plug-in off", test::switchedOff(placed({{"04", 0, 3}})), 4, prev, prev, prev},
        {"no table", test::withoutTable(placed({{"04", 0, 3}})), 4, prev, prev, prev},
        // The lock-screen, Bluetooth and battery rules leave orders alone.
        {"Time", placed({{"00", 1, 6}}), 0, prev, prev, I::answer(6)},
        {"hidden battery", hideBattery(placed({{"07", 0, 1}})), 7, I::answer(1), prev, prev},
        {"connected-only Bluetooth", connectedOnly(placed({{"11", 2, 0}})), 11, prev, I::answer(0), prev},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rules::order(c.settings, c.type, rules::OrderQuestion::Left), c.left) << c.name;
        EXPECT_EQ(rules::order(c.settings, c.type, rules::OrderQuestion::Center), c.center) << c.name;
        EXPECT_EQ(rules::order(c.settings, c.type, rules::OrderQuestion::Right), c.right) << c.name;
    }
}

TEST(PlacementRules, AppearsOnLeftAndRight) {
    struct Case {
        const char* name;
        PluginSettings settings;
        B onLeft, onRight;
    };
    const std::vector<Case> cases{
        {"left", placed({{"13", 0}}), kYes, kNo},
        {"right", placed({{"13", 1}}), kNo, kYes},
        {"center", placed({{"13", 2}}), kNo, kNo},
        {"hidden", placed({{"13", 4}}), kNo, kNo},
        {"default", placed({{"13", 5}}), kPrevious, kPrevious},
        {"no entry", placed({{"12", 0}}), kPrevious, kPrevious},
        {"plug-in off", test::switchedOff(placed({{"13", 0}})), kPrevious, kPrevious},
        {"no table", test::withoutTable(placed({{"13", 0}})), kPrevious, kPrevious},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rules::appearsOnSide(c.settings, 13, rules::SideQuestion::Left), c.onLeft) << c.name;
        EXPECT_EQ(rules::appearsOnSide(c.settings, 13, rules::SideQuestion::Right), c.onRight) << c.name;
    }
    // The special rules of appearsInRegion: do not apply here.
    EXPECT_EQ(rules::appearsOnSide(hideBattery(placed({{"07", 0}})), 7, rules::SideQuestion::Left), kYes);
    EXPECT_EQ(rules::appearsOnSide(connectedOnly(placed({{"11", 1}})), 11, rules::SideQuestion::Right), kYes);
}

TEST(PlacementRules, BreadcrumbExclusivity) {
    const auto settings = [](bool enabled, bool exclusive) {
        PluginSettings s;
        s.enabled = enabled;
        s.isBreadcrumbExclusive = exclusive;
        return s;  // no table: exclusivity does not need one
    };
    struct Case {
        bool enabled;
        bool exclusive;
        std::int32_t type;
        B expected;
    };
    const std::vector<Case> cases{
        {true, false, 32, kNo},       {true, false, 33, kNo},       {true, false, 31, kPrevious},
        {true, false, 34, kPrevious}, {true, true, 32, kPrevious},  {true, true, 33, kPrevious},
        {false, false, 32, kPrevious}, {false, false, 33, kPrevious},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rules::isItemWithTypeExclusive(settings(c.enabled, c.exclusive), c.type), c.expected)
            << "enabled " << c.enabled << ", exclusive " << c.exclusive << ", type " << c.type;
}

}  // namespace
}  // namespace zv
