// zorvane check: each kind of finding with its key path and message, the
// exit status, bad files refused before or instead of parsing, and a sink
// that only watches the load.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "CheckReport.h"
#include "CraftedPlists.h"
#include "DeviceSettingsFiles.h"
#include "ItemCatalogue.h"
#include "SettingsCheck.h"
#include "SettingsLoader.h"
#include "SettingsTestFiles.h"
#include "TempDeviceRoot.h"
#include "foundation/plist/PlistCodec.h"

namespace zv::tools {
namespace {

using test::record;
using namespace std::string_literals;

struct Expected {
    Severity severity;
    std::string kind;
    std::string path;
    std::string message;
};

// A clean file as the Settings bundle writes it: the seed, switched on.
PlistDictionary seedFile() {
    PlistArray names;
    for (std::string_view name : kSeedList) names.emplace_back(name);
    return {{kEnabled, true},
            {kSchemaVersion, kCurrentSchema},
            {kLeft, record({})},
            {kCenter, record({})},
            {kRight, record({})},
            {kHidden, record({})},
            {kDefault, PlistValue(PlistDictionary{{kData, PlistValue(std::move(names))}})}};
}

// The seed with these names taken out of `default` and put into the lists.
PlistDictionary placed(std::map<const char*, std::vector<const char*>> lists) {
    PlistDictionary file = seedFile();
    PlistArray& rest = *(*file[kDefault].dictionary())[kData].array();
    for (const auto& [key, names] : lists) {
        PlistArray list;
        for (const char* name : names) {
            list.emplace_back(name);
            std::erase(rest, PlistValue(name));
        }
        file[key] = PlistValue(PlistDictionary{{kData, PlistValue(std::move(list))}});
    }
    return file;
}

CheckResult check(PlistDictionary settings) {
    InputFile input;
    input.settings = std::move(settings);
    return checkSettings(input);
}

void expectFindings(const CheckResult& result, const std::vector<Expected>& expected) {
    ASSERT_EQ(result.findings.size(), expected.size()) << checkReportText({{"file", result}});
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const Finding& finding = result.findings[i];
        EXPECT_EQ(finding.severity, expected[i].severity) << i;
        EXPECT_EQ(finding.kind, expected[i].kind) << i;
        EXPECT_EQ(finding.path, expected[i].path) << i;
        EXPECT_EQ(finding.message, expected[i].message) << i;
    }
}

const char* const kSkipped = ": skipped (the names after it keep their positions)";

TEST(SettingsCheck, CleanFileHasNoFindings) {
    const CheckResult result = check(seedFile());
    EXPECT_TRUE(result.findings.empty());
    EXPECT_EQ(result.exitStatus(), kCheckClean);
}

TEST(SettingsCheck, SwitchOfTheWrongTypeTakesItsDefault) {
    PlistDictionary file = seedFile();
    file[kHideBattery] = PlistValue("YES");
    file[kHideTopGrabberLS] = PlistValue(PlistData{1});
    file[kShortBreadcrumb] = PlistValue(PlistArray{});
    file[kEnabled] = PlistValue(2);  // a number: its truth value, nothing to report
    const CheckResult result = check(file);
    expectFindings(result,
                   {{Severity::Warning, "switchWrongType", "hideBattery",
                     "a string, not a boolean: the plug-in uses the default, false"},
                    {Severity::Warning, "switchWrongType", "hideTopGrabberLS",
                     "a data value, not a boolean: the plug-in uses the default, true"},
                    {Severity::Warning, "switchWrongType", "shortBreadcrumb",
                     "an array, not a boolean: the plug-in uses the default, false"}});
    EXPECT_EQ(result.exitStatus(), kCheckWarnings);
}

TEST(SettingsCheck, UnknownKeyNamesTheNearestKnownKey) {
    PlistDictionary file = seedFile();
    file["hideBatery"] = PlistValue(true);
    file["Enabled"] = PlistValue(true);
    file["bluetoothConectedOnyl"] = PlistValue(true);
    file["colour"] = PlistValue("red");
    const CheckResult result = check(file);
    expectFindings(result, {{Severity::Warning, "unknownKey", "Enabled", "unknown key, ignored; did you mean enabled?"},
                            {Severity::Warning, "unknownKey", "bluetoothConectedOnyl",
                             "unknown key, ignored; did you mean bluetoothConnectedOnly?"},
                            {Severity::Warning, "unknownKey", "colour", "unknown key, ignored"},
                            {Severity::Warning, "unknownKey", "hideBatery",
                             "unknown key, ignored; did you mean hideBattery?"}});
    EXPECT_EQ(result.findings[3].suggestion, "hideBattery");
    EXPECT_EQ(result.findings[2].suggestion, "");
}

TEST(SettingsCheck, WithoutADefaultRecordNothingMoves) {
    PlistDictionary file = placed({{kLeft, {"04 Carrier"}}});
    file.erase(kDefault);
    expectFindings(check(file), {{Severity::Warning, "noPlacement", "default",
                                  "no default record: the plug-in builds no placement table, every item stays "
                                  "where the system puts it (the other lists are not read)"}});

    file[kDefault] = PlistValue(PlistArray{PlistValue("00 Time")});
    expectFindings(check(file), {{Severity::Warning, "noPlacement", "default",
                                  "an array, not a region record: the plug-in builds no placement table, every "
                                  "item stays where the system puts it (the other lists are not read)"}});

    expectFindings(check({{kEnabled, true}, {kLastModified, "12/8/26, 2:49:00 PM"}}),
                   {{Severity::Warning, "noPlacement", "default",
                     "no default record: the plug-in builds no placement table, every item stays where the "
                     "system puts it"}});
}

TEST(SettingsCheck, RegionRecordsAndListsOfTheWrongTypeCountAsEmpty) {
    PlistDictionary file = seedFile();
    file[kLeft] = PlistValue("04 Carrier");
    file[kCenter] = PlistValue(PlistDictionary{{kData, PlistValue(PlistDictionary{})}});
    file[kRight] = PlistValue(PlistDictionary{{"names", PlistValue(PlistArray{})}});
    expectFindings(check(file),
                   {{Severity::Warning, "regionRecordWrongType", "left",
                     "a string, not a region record (a dictionary with data): the region counts as empty"},
                    {Severity::Warning, "regionListWrongType", "center.data",
                     "a dictionary, not a list: the region counts as empty"},
                    {Severity::Warning, "regionListMissing", "right.data",
                     "the region record has no data list: the region counts as empty"}});
}

TEST(SettingsCheck, ElementsThatAreNoNameAreSkipped) {
    PlistDictionary file = seedFile();
    file[kRight] = PlistValue(PlistDictionary{
        {kData, PlistValue(PlistArray{PlistValue(7), PlistValue("0"), PlistValue(""), PlistValue(PlistArray{}),
                                      PlistValue("07 Battery")})}});
    std::erase(*(*file[kDefault].dictionary())[kData].array(), PlistValue("07 Battery"));
    expectFindings(check(file), {{Severity::Warning, "elementWrongType", "right.data[0]",
                                  std::string("an integer, not a name") + kSkipped},
                                 {Severity::Warning, "elementTooShort", "right.data[1]",
                                  std::string("\"0\" is shorter than two characters") + kSkipped},
                                 {Severity::Warning, "elementTooShort", "right.data[2]",
                                  std::string("\"\" is shorter than two characters") + kSkipped},
                                 {Severity::Warning, "elementWrongType", "right.data[3]",
                                  std::string("an array, not a name") + kSkipped}});
}

TEST(SettingsCheck, NamesAreCheckedAgainstTheCatalogue) {
    const PlistDictionary file = placed({{kLeft, {"15 Torch", "21 VPN"}}});
    expectFindings(check(file),
                   {{Severity::Warning, "unknownItem", "left.data[0]",
                     "\"15 Torch\": no catalogue item has the key \"15\"; the plug-in keeps the entry, which moves "
                     "no item it knows"},
                    {Severity::Warning, "labelMismatch", "left.data[1]",
                     "\"21 VPN\": key 21 is \"21 CarPlay\" in the catalogue; the plug-in goes by the key, so this "
                     "places \"21 CarPlay\""},
                    {Severity::Warning, "itemListedAgain", "default.data[17]",
                     "\"21 CarPlay\": item 21 is also listed at left.data[1]; default is read later, so the "
                     "system places the item"}});
}

TEST(SettingsCheck, AnItemListedTwiceGoesWhereTheLaterListSays) {
    PlistDictionary file = placed({{kLeft, {"07 Battery", "04 Carrier"}}, {kRight, {"11 Bluetooth", "11 Bluetooth"}}});
    file[kHidden] = record({"07 Battery"});
    expectFindings(check(file),
                   {{Severity::Warning, "itemListedAgain", "right.data[1]",
                     "\"11 Bluetooth\": item 11 is also listed at right.data[0]; the later position decides"},
                    {Severity::Warning, "itemListedAgain", "hidden.data[0]",
                     "\"07 Battery\": item 07 is also listed at left.data[0]; hidden is read later, so the item "
                     "is hidden"}});

    file = placed({{kLeft, {"04 Carrier"}}});
    file[kCenter] = record({"04 Carrier"});
    expectFindings(check(file), {{Severity::Warning, "itemListedAgain", "center.data[0]",
                                  "\"04 Carrier\": item 04 is also listed at left.data[0]; center is read later, "
                                  "so the item is placed in center at this position"}});
}

TEST(SettingsCheck, SpacersAreNotesOnTheOrder) {
    const PlistDictionary file =
        placed({{kLeft, {"98 libstatusbar spacer 1", "00 Time", "99 libstatusbar spacer 2", "04 Carrier"}}});
    const CheckResult result = check(file);
    expectFindings(result, {{Severity::Note, "spacer", "left.data[0]",
                             "spacer \"98 libstatusbar spacer 1\": the names after it in left get their position "
                             "plus 16 as their order"},
                            {Severity::Note, "spacerWithoutEffect", "left.data[2]",
                             "spacer \"99 libstatusbar spacer 2\": an earlier spacer in left has raised the order "
                             "already; this one adds nothing"}});
    EXPECT_EQ(result.exitStatus(), kCheckClean);
}

TEST(SettingsCheck, SchemaVersionTellsTheConversionOfTheFirstLoad) {
    PlistDictionary file{
        {kEnabled, true}, {kLeft, record({"21 VPN"})}, {kDefault, record({"33 libstatusbar spacer 2"})}};
    const CheckResult old = check(file);
    expectFindings(old, {{Severity::Note, "migration", "schemaVersion",
                          "no version (read as 1.0): the first load converts the file to 1.1 and writes it back"},
                         {Severity::Note, "added", "default.data[1]", "the conversion appends \"09 NotCharging\" to default"},
                         {Severity::Note, "migration", "schemaVersion",
                          "version \"1.1\": the first load converts the file to 1.2 and writes it back"},
                         {Severity::Note, "renumbered", "default.data[0]",
                          "the conversion renames \"33 libstatusbar spacer 2\" to \"99 libstatusbar spacer 2\""},
                         {Severity::Note, "added", "default.data[2]", "the conversion appends \"14 Plus\" to default"},
                         {Severity::Note, "added", "default.data[3]", "the conversion appends \"21 CarPlay\" to default"},
                         {Severity::Note, "added", "default.data[4]", "the conversion appends \"32 Breadcrumb\" to default"},
                         {Severity::Note, "added", "default.data[5]",
                          "the conversion appends \"33 OpenInSafari\" to default"},
                         {Severity::Note, "renumbered", "left.data[0]",
                          "the conversion renames \"21 VPN\" to \"22 VPN\""}});
    EXPECT_EQ(old.exitStatus(), kCheckClean);

    file[kSchemaVersion] = PlistValue("2.0");
    file[kDefault] = record({"00 Time"});
    expectFindings(check(file), {{Severity::Warning, "schemaUnknown", "schemaVersion",
                                  "unknown version \"2.0\": no conversion, the file is left as it is and its lists "
                                  "are used as they stand"},
                                 {Severity::Warning, "labelMismatch", "left.data[0]",
                                  "\"21 VPN\": key 21 is \"21 CarPlay\" in the catalogue; the plug-in goes by the "
                                  "key, so this places \"21 CarPlay\""}});

    file[kSchemaVersion] = PlistValue(1.2);
    file[kLeft] = record({});
    expectFindings(check(file), {{Severity::Warning, "schemaWrongType", "schemaVersion",
                                  "a real number, not text: no conversion, the lists are used as they stand"}});
}

class FindingCounter final : public LoadDiagnostics {
public:
    void report(LoadFinding) override { ++count; }
    int count = 0;
};

TEST(SettingsCheck, AFileThatLeavesThePlugInOffIsAWarning) {
    PlistDictionary file = seedFile();
    file.erase(kEnabled);
    const CheckResult missing = check(file);
    expectFindings(missing, {{Severity::Warning, "pluginOff", "enabled",
                              "no enabled key: the plug-in stays off (add enabled = true to switch it on)"}});
    EXPECT_EQ(missing.exitStatus(), kCheckWarnings);
    file[kEnabled] = PlistValue(false);
    expectFindings(check(file), {{Severity::Warning, "pluginOff", "enabled", "enabled is false: the plug-in stays off"}});
}

// Keys that are no text, as a binary file on disk holds them: the entries
// are left out, the real keys they would have replaced are used, and each is
// reported with its escaped form.
TEST(SettingsCheck, KeysThatAreNoTextAreReportedAndIgnored) {
    test::BinaryPlistBuilder b;
    const auto data = b.string("data");
    const auto bluetooth = b.dict({{data, b.array({b.string("11 Bluetooth")})}});
    const auto empty = b.dict({{data, b.array({})}});
    const auto root = b.dict({{b.utf16String(u"\xD800" u"enabled"), b.boolean(false)},
                              {b.string("enabled"), b.boolean(true)},
                              {b.utf16String(u"ena\xDC01" u"bled"), b.boolean(false)},
                              {b.string("schemaVersion"), b.string("1.2")},
                              {b.string("left"), bluetooth},
                              {b.utf16String(u"\xD800left"), empty},
                              {b.string("left\0"s), empty},
                              {b.string("default"), empty}});
    test::TempDeviceRoot folder;
    const std::string path = folder.path() + "/Home.plist";
    std::ofstream(path, std::ios::binary) << b.bytes(root);

    const InputFile input = readInputFile(path);
    ASSERT_TRUE(input.settings);
    const CheckResult result = checkSettings(input);
    const std::string surrogate = " holds a lone UTF-16 surrogate, so it names no key: the entry is ignored";
    expectFindings(result,
                   {{Severity::Warning, "keyNotText", "\\uD800enabled", "the key \"\\uD800enabled\"" + surrogate},
                    {Severity::Warning, "keyNotText", "ena\\uDC01bled", "the key \"ena\\uDC01bled\"" + surrogate},
                    {Severity::Warning, "keyNotText", "\\uD800left", "the key \"\\uD800left\"" + surrogate},
                    {Severity::Warning, "keyNotText", "left\\x00",
                     "the key \"left\\x00\" holds a NUL character, so it names no key: the entry is ignored"}});

    // The plug-in reads the same file as a phone's settings file: it stays on
    // and keeps its left region.
    test::TempDeviceRoot device;
    const std::string settings = device.path() + kSettingsPath;
    std::filesystem::create_directories(std::filesystem::path(settings).parent_path());
    std::ofstream(settings, std::ios::binary) << b.bytes(root);
    DeviceSettingsFiles files = DeviceSettingsFiles::underRoot(device.path());
    PluginSettings loaded;
    loadSettingsFrom(files, loaded);
    EXPECT_TRUE(loaded.enabled);
    ASSERT_TRUE(loaded.placement);
    EXPECT_FALSE(loaded.placement->entries().empty());
}

TEST(SettingsCheck, TheSinkOnlyWatchesTheLoad) {
    PlistDictionary file{{kSchemaVersion, "1.1"},
                         {kEnabled, "yes"},
                         {kLeft, record({"21 VPN", "98 x", "1"})},
                         {kCenter, PlistValue(3)},
                         {kRight, record({"32 Breadcrumb", "15 X"})},
                         {kDefault, record({"00 Time", "00 Time"})}};
    test::MemorySettingsFiles plain;
    plain.files[kSettingsPath] = file;
    test::MemorySettingsFiles watched = plain;
    PluginSettings plainLoad;
    PluginSettings watchedLoad;
    FindingCounter counter;
    loadSettingsFrom(plain, plainLoad);
    loadSettingsFrom(watched, watchedLoad, &counter);

    EXPECT_GT(counter.count, 5);
    EXPECT_EQ(watchedLoad.enabled, plainLoad.enabled);
    ASSERT_TRUE(watchedLoad.placement && plainLoad.placement);
    EXPECT_EQ(watchedLoad.placement->entries(), plainLoad.placement->entries());
    ASSERT_EQ(watched.writes.size(), plain.writes.size());
    for (std::size_t i = 0; i < plain.writes.size(); ++i) EXPECT_EQ(watched.writes[i].dict, plain.writes[i].dict);
}

// Bad files get one error finding naming the problem, and exit status 2; none
// is read beyond what it takes to refuse it, and none makes the check wait.
TEST(SettingsCheck, FilesThatCannotBeUsed) {
    test::TempDeviceRoot folder;
    const auto path = [&](const char* name) { return folder.path() + "/" + name; };
    const auto write = [&](const char* name, const std::string& bytes) {
        std::ofstream(path(name), std::ios::binary) << bytes;
        return path(name);
    };
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
    { std::ofstream(path("huge")).flush(); }
    std::filesystem::resize_file(path("huge"), kMaxPropertyListFileBytes + 1);  // sparse: nothing to read
    const std::string deepXml = "<plist version=\"1.0\"><dict><key>left</key>" + [] {
        std::string nested;
        for (int i = 0; i < 600; ++i) nested += "<array>";
        for (int i = 0; i < 600; ++i) nested += "</array>";
        return nested;
    }() + "</dict></plist>";

    // Binary lists by hand: object i is an array of references to i + 1.
    const auto binary = [](int levels, int referencesEach) {
        std::string bytes = "bplist00";
        std::vector<std::size_t> offsets;
        for (int i = 0; i < levels; ++i) {
            offsets.push_back(bytes.size());
            bytes += static_cast<char>(0xA0 + referencesEach);
            for (int r = 0; r < referencesEach; ++r) {
                const int next = i + 1;
                bytes += {static_cast<char>(next >> 8), static_cast<char>(next & 0xFF)};
            }
        }
        offsets.push_back(bytes.size());
        bytes += static_cast<char>(0xA0);
        const std::size_t table = bytes.size();
        for (std::size_t offset : offsets)
            bytes += {static_cast<char>(offset >> 24), static_cast<char>(offset >> 16), static_cast<char>(offset >> 8),
                      static_cast<char>(offset)};
        std::string trailer(32, '\0');
        trailer[6] = 4;
        trailer[7] = 2;
        trailer[15] = static_cast<char>(offsets.size() & 0xFF);
        trailer[14] = static_cast<char>(offsets.size() >> 8);
        for (int k = 0; k < 8; ++k) trailer[31 - k] = static_cast<char>((table >> (8 * k)) & 0xFF);
        return bytes + trailer;
    };
    std::string selfContaining = binary(0, 0);
    selfContaining[8] = static_cast<char>(0xA1);  // the one object refers to itself
    selfContaining.insert(9, std::string("\0\0", 2));
    selfContaining[selfContaining.size() - 1] += 2;  // the offset table moved by two bytes

    const std::vector<std::pair<std::string, std::string>> cases{
        {path("missing"), "no such file"},
        {folder.path(), "is a directory, not a settings file"},
        {path("fifo"), "is a FIFO, not a settings file"},
        {"/dev/null", "is a device, not a settings file"},
        {path("huge"), "larger than 16 MiB, not read"},
        {write("empty", ""), "is empty, not a property list"},
        {write("text", "enabled = YES;\n\xff\xfe"), "is not a property list (XML or binary)"},
        {write("array", plistToXml(PlistValue(PlistArray{PlistValue(1)}))),
         "holds an array at its top level, not a dictionary"},
        {write("deep.xml", deepXml), "nests deeper than 512 levels, holds more than 131072 values, or is broken; not read"},
        {write("deep.bin", binary(600, 1)), "nests deeper than 512 levels, holds more than 131072 values, or is broken; not read"},
        {write("shared.bin", binary(40, 2)), "nests deeper than 512 levels, holds more than 131072 values, or is broken; not read"},
        {write("self.bin", selfContaining), "nests deeper than 512 levels, holds more than 131072 values, or is broken; not read"},
    };
    for (const auto& [file, problem] : cases) {
        const InputFile input = readInputFile(file);
        EXPECT_FALSE(input.settings) << file;
        EXPECT_EQ(input.problem, problem) << file;
        const CheckResult result = checkSettings(input);
        expectFindings(result, {{Severity::Error, "unreadable", "",
                                 problem + "; the plug-in switches itself off for such a settings file (a profile "
                                           "like it fails to load)"}});
        EXPECT_EQ(result.exitStatus(), kCheckUnusable);
    }

    // Binary lists and lists nesting as deep as the limit are read.
    EXPECT_TRUE(readInputFile(write("fine.bin", binary(3, 2))).problem.find("top level") != std::string::npos);
    const PlistDictionary binaryDict{{kEnabled, true}};
    EXPECT_TRUE(readInputFile(write("dict.xml", plistToXml(PlistValue(binaryDict)))).settings);
}

TEST(SettingsCheck, ReportsShowAnyTextSafely) {
    PlistDictionary file = seedFile();
    file[std::string("bad\xff\x1b[2Jkey")] = PlistValue(true);
    file[kLeft] = record({"1\n"});
    InputFile input;
    input.settings = file;
    std::vector<CheckedFile> files{{"a.plist", checkSettings(input)},
                                   {"b\xc3.plist", checkSettings(InputFile{{}, {}, "no such file", {}})}};

    EXPECT_EQ(checkReportText(files),
              "a.plist: warning: bad\\xFF\\x1B[2Jkey: unknown key, ignored\n"
              "a.plist: warning: left.data[0]: \"1\\x0A\": no catalogue item has the key \"1\\x0A\"; the plug-in "
              "keeps the entry, which moves no item it knows\n"
              "b\\xC3.plist: error: no such file; the plug-in switches itself off for such a settings file (a profile like "
                  "it fails to load)\n");
    const auto json = nlohmann::json::parse(checkReportJson(files));
    EXPECT_EQ(json["status"], kCheckUnusable);
    EXPECT_EQ(json["files"][0]["status"], kCheckWarnings);
    EXPECT_EQ(json["files"][0]["findings"][0]["path"], "bad\\xFF\\x1B[2Jkey");
    EXPECT_EQ(json["files"][1]["file"], "b\\xC3.plist");
}

}  // namespace
}  // namespace zv::tools
