// The road of the last change: which of the processes' events are its
// steps, and in which order, whatever order they arrive in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RoadOfChange.h"

namespace zv::screen {
namespace {

using nlohmann::json;

constexpr std::int64_t kStart = 1'700'000'000'000'000;

json event(const std::string& name, std::int64_t after, json fields = json::object()) {
    fields["event"] = name;
    fields["t"] = kStart + after;
    return fields;
}

// "process kind subject" per step.
std::vector<std::string> steps(const RoadOfChange& road) {
    std::vector<std::string> out;
    const json shown = road.toJson();
    for (const json& step : shown["steps"]) {
        std::string line = step["process"].get<std::string>();
        line.append(" ").append(step["kind"].get<std::string>());
        if (step["subject"] != "") line.append(" ").append(step["subject"].get<std::string>());
        out.push_back(line);
    }
    return out;
}

TEST(RoadOfChange, AChangeAcrossProcessesInTimeOrderWhateverOrderItArrivesIn) {
    RoadOfChange road;
    EXPECT_TRUE(road.toJson()["action"].is_null());
    EXPECT_FALSE(road.take("springboard", event("layout", -5)));  // no action yet
    // SpringBoard's pipe is read before the Settings application's.
    EXPECT_FALSE(road.take("springboard", event("delivered", 7600, {{"name", "p"}})));
    EXPECT_TRUE(road.take("settings", event("action", 0, {{"cmd", "move"}})));
    EXPECT_TRUE(road.take("settings", event("wrote", 7000, {{"file", "/var/x.plist"}})));
    EXPECT_TRUE(road.take("settings", event("posted", 7100, {{"name", "p"}})));
    road.take("springboard", event("delivered", 9300, {{"name", "r"}}));
    road.take("springboard", event("layout", 9400));
    road.take("springboard", event("layout", 9900));  // only the first after a delivery
    road.take("settings", event("posted", 9000, {{"name", "r"}}));
    EXPECT_EQ(steps(road), (std::vector<std::string>{"settings wrote /var/x.plist", "settings posted p",
                                                     "springboard delivered p", "settings posted r",
                                                     "springboard delivered r", "springboard laidOut"}));
    const json last = road.toJson()["steps"].back();
    EXPECT_DOUBLE_EQ(last["ms"].get<double>(), 9.4);
    EXPECT_EQ(road.toJson()["action"]["cmd"], "move");
}

TEST(RoadOfChange, AWrittenFileIsTheSettingsFileAProfileOrAnother) {
    RoadOfChange road;
    road.take("settings", event("action", 0, {{"cmd", "press"}}));
    const std::string folder = "/var/mobile/Library/Preferences/";
    // A profile's name may hold what the file name's affixes hold, and a
    // line break; a profile's name elsewhere is not a profile.
    const std::vector<std::string> written{folder + "net.quellit.zorvane.plist",
                                           folder + "net.quellit.zorvane_a_b.plist.plist",
                                           folder + "net.quellit.zorvane_two\nlines.plist",
                                           folder + "net.quellit.zorvane_.plist",
                                           "/var/mobile/net.quellit.zorvane_x.plist",
                                           folder + "net.quellit.zorvane.plist.tmp"};
    for (std::size_t i = 0; i < written.size(); ++i)
        road.take("settings", event("wrote", static_cast<std::int64_t>(10 * (i + 1)), {{"file", written[i]}}));
    const json shown = road.toJson()["steps"];
    ASSERT_EQ(shown.size(), written.size());
    const std::vector<std::pair<std::string, json>> expected{
        {"settings", nullptr}, {"profile", "a_b.plist"}, {"profile", "two\nlines"},
        {"profile", ""},       {"other", nullptr},       {"other", nullptr}};
    for (std::size_t i = 0; i < written.size(); ++i) {
        SCOPED_TRACE(written[i]);
        EXPECT_EQ(shown[i]["file"], expected[i].first);
        EXPECT_EQ(shown[i].value("profile", json()), expected[i].second);
    }
}

TEST(RoadOfChange, WhatDidNotFollowTheActionStaysOff) {
    RoadOfChange road;
    road.take("settings", event("action", 0, {{"cmd", "switch"}}));
    // Older than the action, a name nobody posted on this road, a layout
    // nobody asked for, events without a time or of another kind.
    EXPECT_FALSE(road.take("app", event("wrote", -5, {{"file", "/old"}})));
    road.take("app", event("delivered", 100, {{"name", "com.apple.springboard.pluggedin"}}));
    road.take("app", event("layout", 200));
    EXPECT_FALSE(road.take("app", json{{"event", "posted"}, {"name", "p"}}));
    EXPECT_FALSE(road.take("app", event("ready", 300)));
    EXPECT_FALSE(road.take("app", json("not an object")));
    EXPECT_TRUE(steps(road).empty());

    // A new action starts a new road.
    road.take("settings", event("posted", 400, {{"name", "p"}}));
    EXPECT_EQ(steps(road), std::vector<std::string>{"settings posted p"});
    road.take("settings", event("action", 1000, {{"cmd", "press"}}));
    EXPECT_TRUE(steps(road).empty());
    EXPECT_EQ(road.toJson()["action"]["cmd"], "press");
}

TEST(RoadOfChange, ARelaunchedProcessCountsItsFirstLayout) {
    RoadOfChange road;
    road.take("settings", event("action", 0, {{"cmd", "press"}}));
    road.take("settings", event("posted", 10, {{"name", "respring"}, {"centre", "distributed"}}));
    road.take("springboard", event("delivered", 20, {{"name", "respring"}}));
    // SpringBoard ends and starts again; the application, which got nothing
    // of this road, is restarted too.
    EXPECT_TRUE(road.take("springboard", event("layout", 90000)));
    road.take("app", event("layout", 95000));
    EXPECT_EQ(steps(road), (std::vector<std::string>{"settings posted respring", "springboard delivered respring",
                                                     "springboard laidOut"}));
}

TEST(RoadOfChange, DeviceControlsAndLaterRestartsAreNoStepsOfIt) {
    RoadOfChange road;
    road.take("settings", event("action", 0, {{"cmd", "move"}}));
    road.take("settings", event("wrote", 100, {{"file", "/f"}}));
    road.take("settings", event("posted", 200, {{"name", "p"}}));
    for (const char* host : {"springboard", "app"}) {
        road.take(host, event("delivered", 300, {{"name", "p"}}));
        road.take(host, event("layout", 400));
    }
    const std::vector<std::string> drop = steps(road);
    ASSERT_EQ(drop.size(), 6u);
    // The charger goes in: SpringBoard posts the system's notification, and
    // every host takes it and lays out again; then the battery and the width
    // change, and half a minute later SpringBoard is started again.
    EXPECT_FALSE(road.take("springboard", event("posted", 5000, {{"name", "com.apple.springboard.pluggedin"}})));
    EXPECT_FALSE(road.take("springboard", event("wrote", 5000, {{"file", "/g"}})));
    for (const char* host : {"springboard", "app"}) {
        road.take(host, event("delivered", 5100, {{"name", "com.apple.springboard.pluggedin"}}));
        road.take(host, event("layout", 5200));
        road.take(host, event("layout", 6000));
    }
    road.take("springboard", event("layout", 30'000'000));
    EXPECT_EQ(steps(road), drop);
}

TEST(RoadOfChange, HoldsAtMostItsLimitsOfStepsAndEvents) {
    RoadOfChange road;
    road.take("settings", event("action", 0, {{"cmd", "move"}}));
    for (int i = 0; i < 200; ++i) road.take("settings", event("wrote", i, {{"file", "/f"}}));
    EXPECT_EQ(road.toJson()["steps"].size(), RoadOfChange::kMaxSteps);
    // The oldest events make room for new ones.
    for (int i = 0; i < 1000; ++i) road.take("app", event("layout", 1000 + i));
    road.take("settings", event("posted", 5000, {{"name", "p"}}));
    EXPECT_EQ(steps(road), std::vector<std::string>{"settings posted p"});
}

}  // namespace
}  // namespace zv::screen
