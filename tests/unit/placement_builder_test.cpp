// The placement table built from the five region records.
#include <gtest/gtest.h>

#include "PlacementBuilder.h"
#include "SettingsTestFiles.h"

namespace zv {
namespace {

using test::record;

struct Expect {
    const char* key;
    std::int32_t alignment;  // -1: no entry
    std::int64_t idx;        // checked for codes 0, 1 and 2 only
};

struct Case {
    const char* name;
    PlistDictionary settings;
    std::vector<Expect> expected;
    std::size_t size;
};

TEST(PlacementBuilder, SpacersListOrderAndWhichListDecides) {
    const std::vector<Case> cases{
        {"spacer in the middle",
         {{"left", record({"04 Carrier", "98 libstatusbar spacer 1", "00 Time"})}},
         {{"04", 0, 0}, {"00", 0, 18}, {"98", -1, 0}},
         2},
        {"spacer first",
         {{"center", record({"99 libstatusbar spacer 2", "00 Time", "01 QuietMode (DND)"})}},
         {{"00", 2, 17}, {"01", 2, 18}, {"99", -1, 0}},
         2},
        {"two spacers raise once",
         {{"right", record({"01 X", "98 s", "02 X", "99 s", "03 X"})}},
         {{"01", 1, 0}, {"02", 1, 18}, {"03", 1, 20}},
         3},
        {"offset starts afresh in each list",
         {{"left", record({"98 s", "01 X"})}, {"center", record({"02 X"})}, {"right", record({"03 X"})}},
         {{"01", 0, 17}, {"02", 2, 0}, {"03", 1, 0}},
         3},
        {"spacers are entries in hidden and default",
         {{"hidden", record({"98 libstatusbar spacer 1"})}, {"default", record({"99 libstatusbar spacer 2"})}},
         {{"98", 4, 0}, {"99", 5, 0}},
         2},
        {"hidden is read after left",
         {{"left", record({"11 Bluetooth"})}, {"hidden", record({"11 Bluetooth"})}},
         {{"11", 4, 0}},
         1},
        {"default is read after right",
         {{"default", record({"07 Battery"})}, {"right", record({"07 Battery"})}},
         {{"07", 5, 0}},
         1},
        {"right is read after center, and a later position in one list wins",
         {{"center", record({"05 X"})}, {"right", record({"05 X", "06 X", "05 X"})}},
         {{"05", 1, 2}, {"06", 1, 1}},
         2},
        {"only the first two characters count",
         {{"left", record({"0", "12", "13 anything", "9", "981"})}},
         {{"12", 0, 1}, {"13", 0, 2}, {"0", -1, 0}},
         2},
        {"missing, empty and list-less records are empty lists",
         {{"left", record({})}, {"center", PlistDictionary{}}, {"right", "text"},
          {"hidden", PlistDictionary{{"data", 5}}}, {"default", record({"00 Time"})}},
         {{"00", 5, 0}},
         1},
    };
    for (const Case& c : cases) {
        const PlacementTable table = buildPlacementTable(c.settings);
        EXPECT_EQ(table.size(), c.size) << c.name;
        for (const Expect& e : c.expected) {
            const PlacementEntry* entry = table.find(e.key);
            if (e.alignment < 0) {
                EXPECT_EQ(entry, nullptr) << c.name << ": " << e.key;
                continue;
            }
            ASSERT_NE(entry, nullptr) << c.name << ": " << e.key;
            EXPECT_EQ(entry->alignment, e.alignment) << c.name << ": " << e.key;
            if (e.alignment <= 2) {
                EXPECT_EQ(entry->idx, e.idx) << c.name << ": " << e.key;
            }
        }
    }
}

}  // namespace
}  // namespace zv
