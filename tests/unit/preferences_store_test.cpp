// The Settings bundle's preferences store over real files in a temporary
// device root: loading and binding, the seven saves, value conversions,
// failed writes, and identifiers that try to leave the preferences folder.
#include <chrono>
#include <filesystem>
#include <thread>

#include "BundleTestRoot.h"
#include "PlistFixtures.h"
#include "SettingsPageTest.h"
#include "ZVPreferences.h"
#include "foundation/DateFormatter.h"

namespace zv {
namespace {

using test::preferencesFile;
using test::readDict;
using test::writeDict;
using test::writeRaw;

constexpr const char* kBound = "net.quellit.zorvane";
constexpr const char* kBoundFile = "net.quellit.zorvane.plist";
constexpr const char* kNote = "net.quellit.zorvane/preferences";

class PreferencesStoreTest : public test::PreferencesFolderTest {
protected:
    // A store bound to the settings file, holding `contents`.
    void bind(const PlistDictionary& contents) {
        writeDict(kBoundFile, contents);
        ASSERT_TRUE(store.loadFromIdentifier(kBound, kNote));
    }
    ZVPreferences store;
};

TEST_F(PreferencesStoreTest, UnloadedStoreAnswersFallbacksAndNeverWrites) {
    EXPECT_FALSE(store.objectForKey("enabled"));
    EXPECT_EQ(store.integerForKey("x", 7), 7);
    EXPECT_EQ(store.floatForKey("x", 2.5), 2.5);
    EXPECT_TRUE(store.boolForKey("x", true));
    store.setObject(PlistValue(true), "enabled");
    EXPECT_FALSE(store.objectForKey("enabled"));
    EXPECT_FALSE(store.save());
    EXPECT_FALSE(store.saveToIdentifier("x", std::nullopt, true));
    EXPECT_TRUE(std::filesystem::is_empty(test::preferencesFolder()));
}

TEST_F(PreferencesStoreTest, FirstLoadBindsEvenWhenTheFileIsMissingAndLaterLoadsReadNothing) {
    EXPECT_FALSE(store.loadFromIdentifier(kBound, kNote));
    ASSERT_TRUE(store.preferences());
    EXPECT_TRUE(store.preferences()->empty());
    EXPECT_EQ(store.identifier(), kBound);
    EXPECT_EQ(store.notification(), kNote);

    // The file appears, and another identifier is named: nothing is read or re-bound.
    writeDict(kBoundFile, {{"enabled", true}});
    writeDict("other.plist", {{"enabled", true}});
    EXPECT_TRUE(store.loadFromIdentifier("other", "other/note"));
    EXPECT_TRUE(store.preferences()->empty());
    EXPECT_EQ(store.identifier(), kBound);
    EXPECT_EQ(store.notification(), kNote);
}

TEST_F(PreferencesStoreTest, ReLoadRebindsAndEmptiesOnAMissingFile) {
    bind({{"enabled", true}});
    EXPECT_FALSE(store.reLoadFromIdentifier("missing", std::nullopt));
    EXPECT_TRUE(store.preferences()->empty());
    EXPECT_EQ(store.identifier(), "missing");
    EXPECT_FALSE(store.notification());
}

TEST_F(PreferencesStoreTest, LoadOnceReadsAnyDictionaryFileAndRefusesEverythingElse) {
    const std::string binary(test::binarySettings());
    struct Case {
        const char* what;
        std::string bytes;
        bool loads;
    };
    const Case cases[] = {
        {"xml dictionary", plistToXml(PlistValue(PlistDictionary{{"enabled", true}})), true},
        {"binary dictionary", binary, true},
        {"empty file", "", false},
        {"garbage", "not a property list \x01\x02", false},
        {"truncated binary", binary.substr(0, binary.size() / 2), false},
        {"array root", plistToXml(PlistValue(PlistArray{PlistValue("a")})), false},
        {"string root", plistToXml(PlistValue("text")), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        store.restorePreferences({{"kept", 1}});
        writeRaw("candidate.plist", c.bytes);
        EXPECT_EQ(store.loadOnceFromIdentifier("candidate"), c.loads);
        ASSERT_TRUE(store.preferences());
        EXPECT_EQ(store.preferences()->empty(), !c.loads);
        EXPECT_FALSE(store.objectForKey("kept"));
    }
    // A folder where the file should be reads as unreadable too.
    std::filesystem::create_directory(preferencesFile("folder.plist"));
    EXPECT_FALSE(store.loadOnceFromIdentifier("folder"));
}

TEST_F(PreferencesStoreTest, EverySaveVariantWritesItsFileStampsAsAskedAndKeepsTheBinding) {
    struct Case {
        const char* what;
        std::function<bool(ZVPreferences&)> save;
        const char* file;
        bool stamped;
    };
    const Case cases[] = {
        {"save", [](ZVPreferences& s) { return s.save(); }, kBoundFile, true},
        {"saveWithLastModified NO", [](ZVPreferences& s) { return s.saveWithLastModified(false); }, kBoundFile, false},
        {"saveWithLastModified YES", [](ZVPreferences& s) { return s.saveWithLastModified(true); }, kBoundFile, true},
        {"saveToIdentifier", [](ZVPreferences& s) { return s.saveToIdentifier("x"); }, "x.plist", true},
        {"saveWithNotification", [](ZVPreferences& s) { return s.saveWithNotification("n"); }, kBoundFile, true},
        {"saveWithNotification null NO",
         [](ZVPreferences& s) { return s.saveWithNotification(std::nullopt, false); }, kBoundFile, false},
        {"saveToIdentifier with notification",
         [](ZVPreferences& s) { return s.saveToIdentifier("y", "n"); }, "y.plist", true},
        {"saveToIdentifier null notification NO",
         [](ZVPreferences& s) { return s.saveToIdentifier("z", std::nullopt, false); }, "z.plist", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(test::preferencesFolder());
        std::filesystem::create_directories(test::preferencesFolder());
        store.reLoadFromIdentifier(kBound, kNote);
        store.restorePreferences({{"enabled", true}, {"lastModified", "old"}});

        ASSERT_TRUE(c.save(store));
        auto written = readDict(c.file);
        ASSERT_TRUE(written);
        EXPECT_EQ(*plistLookup(*written, "enabled"), PlistValue(true));
        const std::string stamp = *plistLookup(*written, "lastModified")->string();
        EXPECT_EQ(stamp != "old", c.stamped) << stamp;
        EXPECT_EQ(written->size(), 2u);
        // The binding is untouched: a plain save writes the bound file again.
        EXPECT_EQ(store.identifier(), kBound);
        EXPECT_EQ(store.notification(), kNote);
        if (std::string(c.file) != kBoundFile) {
            EXPECT_FALSE(std::filesystem::exists(preferencesFile(kBoundFile)));
            EXPECT_TRUE(store.save());
            EXPECT_TRUE(std::filesystem::exists(preferencesFile(kBoundFile)));
        }
    }
}

TEST_F(PreferencesStoreTest, ResetThenSaveLeavesOnlyAFreshStamp) {
    bind({{"enabled", true}, {"left", PlistDictionary{}}});
    store.resetPreferences();
    EXPECT_EQ(store.identifier(), kBound);
    ASSERT_TRUE(store.save());
    auto written = readDict(kBoundFile);
    ASSERT_TRUE(written);
    ASSERT_EQ(written->size(), 1u);
    EXPECT_FALSE(plistLookup(*written, "lastModified")->string()->empty());
}

TEST_F(PreferencesStoreTest, FailedWriteKeepsEveryChangeForTheNextSave) {
    bind({{"enabled", false}});
    const auto before = readDict(kBoundFile);
    // A folder in the file's place makes the atomic replacement fail.
    std::filesystem::remove(preferencesFile(kBoundFile));
    std::filesystem::create_directory(preferencesFile(kBoundFile));
    store.setObject(PlistValue(true), "enabled");
    EXPECT_FALSE(store.save());
    EXPECT_EQ(store.objectForKey("enabled"), PlistValue(true));
    EXPECT_TRUE(store.objectForKey("lastModified"));  // the stamp stays in memory
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(test::preferencesFolder()), {}), 1);

    std::filesystem::remove(preferencesFile(kBoundFile));
    EXPECT_TRUE(store.saveWithLastModified(false));
    auto written = readDict(kBoundFile);
    ASSERT_TRUE(written);
    EXPECT_EQ(*plistLookup(*written, "enabled"), PlistValue(true));
    EXPECT_EQ(*plistLookup(*written, "lastModified"), *store.objectForKey("lastModified"));
}

TEST_F(PreferencesStoreTest, SavesInAFolderTheWriterMayWriteIntoButNotList) {
    bind({{"enabled", false}});
    // The writer's own folder, mode 0300.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(test::preferencesFolder().c_str(), 65534, 65534), 0);
    }
    std::filesystem::permissions(test::preferencesFolder(),
                                 std::filesystem::perms::owner_write | std::filesystem::perms::owner_exec);
    const int failed = test::runUnprivileged([&] {
        store.setObject(PlistValue(true), "enabled");
        return store.save() ? 0 : 1;
    });
    EXPECT_EQ(failed, 0);
    auto written = readDict(kBoundFile);
    ASSERT_TRUE(written);
    EXPECT_EQ(*plistLookup(*written, "enabled"), PlistValue(true));
}

TEST_F(PreferencesStoreTest, SaveWithoutAnyBindingFails) {
    writeDict("a.plist", {{"enabled", true}});
    ASSERT_TRUE(store.loadOnceFromIdentifier("a"));
    EXPECT_FALSE(store.save());
    EXPECT_TRUE(store.saveToIdentifier("b", std::nullopt, false));
}

// Identifiers are put into "/var/mobile/Library/Preferences/%@.plist" and
// profile names come from the user: none may reach outside the folder.
TEST_F(PreferencesStoreTest, IdentifiersThatWouldLeaveTheFolderAreRefused) {
    const std::filesystem::path outside = test::preferencesFolder().parent_path();  // .../Library
    writeDict("../escaped.plist", {{"secret", true}});  // a file one level up, for reads
    ASSERT_TRUE(std::filesystem::exists(outside / "escaped.plist"));
    bind({{"enabled", true}});

    const std::string refused[] = {
        "../escaped",
        "net.quellit.zorvane_../../escaped",
        "net.quellit.zorvane_a/b",
        "/etc/passwd",
        "net.quellit.zorvane_/",
        std::string("net.quellit.zorvane_x\0/../../escaped", 36),
    };
    for (const std::string& identifier : refused) {
        SCOPED_TRACE(identifier);
        EXPECT_FALSE(ZVPreferences::pathForIdentifier(identifier));
        EXPECT_FALSE(store.saveToIdentifier(identifier, kNote, false));
        ZVPreferences reader;
        EXPECT_FALSE(reader.loadFromIdentifier(identifier, std::nullopt));
        EXPECT_TRUE(reader.preferences()->empty());
    }
    // Nothing was written anywhere but the bound file.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(test::preferencesFolder()), {}), 1);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(outside), {}), 2);  // Preferences, escaped.plist

    // Odd names that stay inside the folder are ordinary file names.
    for (const std::string name : {"..", "   ", "*", "?x[a]", ".", "a b"}) {
        SCOPED_TRACE(name);
        const std::string identifier = "net.quellit.zorvane_" + name;
        ASSERT_TRUE(store.saveToIdentifier(identifier, std::nullopt, false));
        EXPECT_TRUE(std::filesystem::exists(preferencesFile(identifier + ".plist")));
        ZVPreferences reader;
        EXPECT_TRUE(reader.loadOnceFromIdentifier(identifier));
    }
}

// Another writer's file is taken in; the store's own saves, a profile read
// through the store and an unreadable file are not, so unsaved changes stay.
TEST_F(PreferencesStoreTest, OnlyAnotherWritersFileIsTakenIn) {
    bind({{"enabled", true}});
    EXPECT_FALSE(store.reloadIfFileChanged());
    store.setObject(PlistValue(false), "enabled");
    ASSERT_TRUE(store.save());
    EXPECT_FALSE(store.reloadIfFileChanged());

    writeDict("net.quellit.zorvane_P.plist", {{"profileName", "P"}});
    ASSERT_TRUE(store.loadOnceFromIdentifier("net.quellit.zorvane_P"));
    EXPECT_FALSE(store.reloadIfFileChanged());  // the settings file is still as the store wrote it
    EXPECT_EQ(*store.objectForKey("profileName"), PlistValue("P"));

    writeRaw(kBoundFile, "not a property list");
    EXPECT_FALSE(store.reloadIfFileChanged());
    EXPECT_EQ(*store.objectForKey("profileName"), PlistValue("P"));

    writeDict(kBoundFile, {{"enabled", true}, {"schemaVersion", "1.2"}});
    EXPECT_TRUE(store.reloadIfFileChanged());
    EXPECT_EQ(*store.preferences(), (PlistDictionary{{"enabled", true}, {"schemaVersion", "1.2"}}));
    EXPECT_FALSE(store.reloadIfFileChanged());
}

TEST_F(PreferencesStoreTest, TypedGettersConvertOnlyNumbers) {
    bind({});
    struct Case {
        const char* what;
        std::optional<PlistValue> stored;
        std::int64_t integer;
        double real;
        bool boolean;
        bool defaultsUsed;
    };
    const Case cases[] = {
        {"absent", std::nullopt, 0, 0.0, false, true},
        {"true", PlistValue(true), 1, 1.0, true, false},
        {"false", PlistValue(false), 0, 0.0, false, false},
        {"integer", PlistValue(std::int64_t{5000000000}), 5000000000, static_cast<double>(5000000000.0f), true, false},
        {"negative real", PlistValue(-2.75), -2, -2.75, true, false},
        {"0.1 widens from single precision", PlistValue(0.1), 0, static_cast<double>(0.1f), true, false},
        {"string \"7\"", PlistValue("7"), 0, 0.0, false, true},
        {"string \"1\"", PlistValue("1"), 0, 0.0, false, true},
        {"array", PlistValue(PlistArray{PlistValue(1)}), 0, 0.0, false, true},
        {"dictionary", PlistValue(PlistDictionary{}), 0, 0.0, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        store.resetPreferences();
        if (c.stored) store.setObject(*c.stored, "k");
        EXPECT_EQ(store.objectForKey("k"), c.stored);
        EXPECT_EQ(store.integerForKey("k"), c.integer);
        EXPECT_EQ(store.floatForKey("k"), c.real);
        EXPECT_EQ(store.boolForKey("k"), c.boolean);
        EXPECT_EQ(store.integerForKey("k", 42), c.defaultsUsed ? 42 : c.integer);
        EXPECT_EQ(store.floatForKey("k", 0.1), c.defaultsUsed ? 0.1 : c.real);  // the default at full precision
        EXPECT_EQ(store.boolForKey("k", true), c.defaultsUsed ? true : c.boolean);
    }
    EXPECT_NEAR(static_cast<double>(0.1f), 0.100000001490116, 1e-15);
}



TEST(DateFormatter, ShortDateMediumTimeInTheGivenLocaleAndZone) {
    NSDateFormatter formatter;
    formatter.setDateStyle(NSDateFormatterStyle::ShortStyle);
    formatter.setTimeStyle(NSDateFormatterStyle::MediumStyle);
    formatter.setTimeZone("UTC");
    // 2024-01-02 15:04:05 UTC
    const auto date = std::chrono::system_clock::time_point(std::chrono::seconds(1704207845));
    struct Case {
        const char* locale;
        const char* date;
        const char* time;
    };
    for (const Case& c : {Case{"en_US", "1/2/24", "3:04:05"}, Case{"de_DE", "02.01.24", "15:04:05"},
                          Case{"en_GB", "02/01/2024", "15:04:05"}}) {
        formatter.setLocale(c.locale);
        const std::string text = formatter.stringFromDate(date);
        EXPECT_NE(text.find(c.date), std::string::npos) << c.locale << ": " << text;
        EXPECT_NE(text.find(c.time), std::string::npos) << c.locale << ": " << text;
    }
    formatter.setTimeZone("Asia/Tokyo");  // UTC+9
    formatter.setLocale("de_DE");
    EXPECT_NE(formatter.stringFromDate(date).find("03.01.24"), std::string::npos);

    EXPECT_EQ(NSDateFormatter().stringFromDate(date), "");
}

}  // namespace
}  // namespace zv
