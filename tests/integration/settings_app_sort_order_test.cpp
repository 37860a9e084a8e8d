// The sort-order editor in the running Settings application: the seeded
// layout, drags that reach the settings file and the plug-in, and the
// gestures the page does not allow.
#include "SettingsAppFixture.h"

#include <thread>

namespace zv::test {
namespace {

std::vector<std::string> regionList(const PlistDictionary& file, const char* region) {
    std::vector<std::string> names;
    const PlistValue* record = plistLookup(file, region);
    const PlistValue* data = record && record->dictionary() ? plistLookup(*record->dictionary(), "data") : nullptr;
    if (data && data->array())
        for (const auto& v : *data->array()) names.push_back(v.string() ? *v.string() : "?");
    return names;
}

TEST_F(SettingsAppTest, SortOrderShowsTheSeededLayoutInAnEditingTable) {
    json editor = ok({{"cmd", "open"}, {"label", "Sort Order"}});
    ASSERT_EQ(editor["sections"].size(), 5u);
    std::vector<std::string> headers;
    for (const auto& s : editor["sections"]) headers.push_back(s["header"].get<std::string>());
    EXPECT_EQ(headers, (std::vector<std::string>{"Left", "Center", "Right", "Hidden", "Default"}));
    const auto defaults = rowTitles(editor, 4);
    ASSERT_EQ(defaults.size(), 27u);
    EXPECT_EQ(defaults.front(), "00 Time");
    EXPECT_EQ(defaults[10], "11 Bluetooth");
    EXPECT_EQ(defaults.back(), "99 libstatusbar spacer 2");
    EXPECT_EQ(editor["table"]["style"], 1);
    EXPECT_TRUE(editor["table"]["editing"].get<bool>());
    EXPECT_FALSE(editor["table"]["allowsSelection"].get<bool>());
    EXPECT_EQ(editor["table"]["contentInset"][0], 44);
    EXPECT_EQ(editor["sections"][4]["rows"][0]["reuseIdentifier"], "Cell");
    EXPECT_FALSE(preferencesFile()) << "seeding wrote the settings file";
}

TEST_F(SettingsAppTest, ADragIsSavedAndAnnouncedDuringTheDrop) {
    ok({{"cmd", "open"}, {"label", "Sort Order"}});
    startProbe();
    ok({{"cmd", "move"}, {"from", {4, 10}}, {"to", {0, 0}}});
    EXPECT_EQ(namesUntilReload(), (std::vector<std::string>{kPreferencesName, kReloadName}));

    auto file = preferencesFile();
    ASSERT_TRUE(file);
    EXPECT_EQ(regionList(*file, "left"), (std::vector<std::string>{"11 Bluetooth"}));
    EXPECT_EQ(regionList(*file, "default").size(), 26u);
    EXPECT_EQ(*plistLookup(*file, "profileSaved"), PlistValue(false));
    EXPECT_EQ(*plistLookup(*file, "schemaVersion"), PlistValue("1.2"));
    EXPECT_EQ(rowTitles(page(), 0), (std::vector<std::string>{"11 Bluetooth"}));

    // Within a section: [Bluetooth, Time] -> row 0 to row 1 gives [Time, Bluetooth].
    ok({{"cmd", "move"}, {"from", {4, 0}}, {"to", {0, 1}}});
    ok({{"cmd", "move"}, {"from", {0, 0}}, {"to", {0, 1}}});
    file = preferencesFile();
    EXPECT_EQ(regionList(*file, "left"), (std::vector<std::string>{"00 Time", "11 Bluetooth"}));

    // Leaving and coming back shows the layout the store holds.
    ok({{"cmd", "back"}});
    json again = ok({{"cmd", "open"}, {"label", "Sort Order"}});
    EXPECT_EQ(rowTitles(again, 0), (std::vector<std::string>{"00 Time", "11 Bluetooth"}));
}

PlistValue record(std::vector<std::string> names) {
    PlistArray data;
    for (auto& name : names) data.emplace_back(std::move(name));
    return PlistValue(PlistDictionary{{"data", PlistValue(std::move(data))}});
}

// A settings file placed by hand and announced replaces the app's copy: the
// editor on screen shows it, and the next change starts from it instead of
// writing the app's stale copy over it.
TEST_F(SettingsAppTest, AnAnnouncedFileIsShownAndKeptByTheNextChange) {
    ok({{"cmd", "open"}, {"label", "Sort Order"}});
    ok({{"cmd", "move"}, {"from", {4, 0}}, {"to", {0, 0}}});  // the app's own copy: Time on the left
    writePreferencesFile("net.quellit.zorvane.plist",
                         {{"schemaVersion", "1.2"},
                          {"enabled", true},
                          {"left", record({})},
                          {"center", record({})},
                          {"right", record({"21 VPN", "11 Bluetooth"})},
                          {"hidden", record({})},
                          {"default", record({"00 Time"})}});
    startProbe();
    EXPECT_EQ(ask(std::string("post ") + kPreferencesName), "posted");

    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    json editor = page();
    while (rowTitles(editor, 2).empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(20ms);
        editor = page();
    }
    EXPECT_EQ(rowTitles(editor, 0), std::vector<std::string>{});
    EXPECT_EQ(rowTitles(editor, 2), (std::vector<std::string>{"21 VPN", "11 Bluetooth"}));

    ok({{"cmd", "back"}});
    ok({{"cmd", "switch"}, {"label", "Enabled"}, {"value", false}});
    auto file = preferencesFile();
    ASSERT_TRUE(file);
    EXPECT_EQ(regionList(*file, "right"), (std::vector<std::string>{"21 VPN", "11 Bluetooth"}));
    EXPECT_EQ(regionList(*file, "left"), std::vector<std::string>{});
    EXPECT_EQ(*plistLookup(*file, "enabled"), PlistValue(false));
}

TEST_F(SettingsAppTest, SortOrderRefusesTapsDeletesAndImpossibleDrops) {
    ok({{"cmd", "open"}, {"label", "Sort Order"}});
    EXPECT_NE(refused({{"cmd", "tap"}, {"section", 4}, {"row", 0}}), "");
    EXPECT_NE(refused({{"cmd", "delete"}, {"section", 4}, {"row", 0}}), "");
    EXPECT_NE(refused({{"cmd", "move"}, {"from", {0, 0}}, {"to", {1, 0}}}), "");   // Left is empty
    EXPECT_NE(refused({{"cmd", "move"}, {"from", {4, 0}}, {"to", {1, 1}}}), "");   // beyond Center's end
    EXPECT_NE(refused({{"cmd", "move"}, {"from", {4, 0}}, {"to", {5, 0}}}), "");   // no sixth section
    EXPECT_NE(refused({{"cmd", "move"}, {"from", "4,0"}, {"to", {0, 0}}}), "");
    EXPECT_FALSE(preferencesFile());
}

}  // namespace
}  // namespace zv::test
