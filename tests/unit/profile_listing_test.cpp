// The profile manager's rules: which folder entries are profiles, what a
// profile is called and dated, and the texts of the Current row.
#include <gtest/gtest.h>

#include <map>

#include "ProfileListing.h"
#include "ProfileRowText.h"
#include "SettingsKeys.h"

namespace zv {
namespace {

TEST(ProfileListing, NamesFollowTheFileNameRule) {
    struct Case {
        const char* fileName;
        std::optional<std::string> profile;
    };
    const Case cases[] = {
        {"net.quellit.zorvane_Work.plist", "Work"},
        {"net.quellit.zorvane_.plist", ""},
        {"net.quellit.zorvane_   .plist", "   "},
        {"net.quellit.zorvane_a.plist.plist", "a.plist"},
        {"net.quellit.zorvane_*?.plist", "*?"},
        {"net.quellit.zorvane_caf\xc3\xa9.plist", "caf\xc3\xa9"},
        {"net.quellit.zorvane.plist", std::nullopt},  // the settings file itself
        {"net.quellit.zorvane_.plis", std::nullopt},
        {"net.quellit.zorvane_x.PLIST", std::nullopt},  // case-sensitive
        {"Net.quellit.zorvane_x.plist", std::nullopt},
        {"xnet.quellit.zorvane_x.plist", std::nullopt},
        {"net.quellit.zorvane_x.plist~", std::nullopt},
        {"net.quellit.zorvel.plist", std::nullopt},
        {"net.quellit.zorvane_.plist.XXXXXX", std::nullopt},  // a writer's temporary file
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileName);
        EXPECT_EQ(profileNameOfFile(c.fileName), c.profile);
        EXPECT_EQ(isProfileFileName(c.fileName), c.profile.has_value());
        if (c.profile) {
            EXPECT_EQ(profileFileName(*c.profile), c.fileName);
        }
    }
    EXPECT_EQ(profileIdentifier("Work"), "net.quellit.zorvane_Work");
}

TEST(ProfileListing, KeepsListingOrderAndDatesOnlyReadableFiles) {
    const std::map<std::string, std::optional<PlistDictionary>> files{
        {"net.quellit.zorvane_b.plist", PlistDictionary{{kLastModified, "1/2/24, 3:04:05 PM"}}},
        {"net.quellit.zorvane_a.plist", PlistDictionary{{kEnabled, true}}},           // no stamp
        {"net.quellit.zorvane_c.plist", std::nullopt},                                // unreadable
        {"net.quellit.zorvane_d.plist", PlistDictionary{{kLastModified, 20240102}}},  // not a string
    };
    const std::vector<std::string> names{"net.quellit.zorvane_b.plist", "com.apple.springboard.plist",
                                         "net.quellit.zorvane_a.plist", "net.quellit.zorvane.plist",
                                         "net.quellit.zorvane_c.plist", "net.quellit.zorvane_d.plist"};
    std::vector<std::string> read;
    auto entries = listProfiles(names, [&](const std::string& fileName) {
        read.push_back(fileName);
        return profileDate(files.at(fileName));
    });
    EXPECT_EQ(entries, (std::vector<ProfileEntry>{
                           {"b", "1/2/24, 3:04:05 PM"}, {"a", ""}, {"c", ""}, {"d", ""}}));
    // Only profile files are opened.
    EXPECT_EQ(read.size(), 4u);
    EXPECT_TRUE(listProfiles({}, [](const std::string&) { return std::string("x"); }).empty());
}

TEST(ProfileRowText, CurrentRowTitleFollowsNameAndSavedFlag) {
    struct Case {
        const char* what;
        PlistDictionary settings;
        const char* title;
    };
    const Case cases[] = {
        {"no name", {}, "Unsaved"},
        {"no name, saved", {{kProfileSaved, true}}, "Unsaved"},
        {"saved", {{kProfileName, "Work"}, {kProfileSaved, true}}, "Work"},
        {"saved as a number", {{kProfileName, "Work"}, {kProfileSaved, 1}}, "Work"},
        {"not saved", {{kProfileName, "Work"}, {kProfileSaved, false}}, "Work (Unsaved)"},
        {"flag absent", {{kProfileName, "Work"}}, "Work (Unsaved)"},
        {"flag a string", {{kProfileName, "Work"}, {kProfileSaved, "YES"}}, "Work (Unsaved)"},
        {"empty name", {{kProfileName, ""}, {kProfileSaved, true}}, ""},
        {"name not a string", {{kProfileName, 5}, {kProfileSaved, true}}, "Unsaved"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(currentProfileTitle(c.settings), c.title);
    }
}

TEST(ProfileRowText, DetailShowsTheStampOrNothing) {
    const PlistValue stamp("1/2/24, 3:04:05 PM");
    const PlistValue number(3);
    EXPECT_EQ(lastModifiedDetail(&stamp), "Last Modified: 1/2/24, 3:04:05 PM");
    EXPECT_EQ(lastModifiedDetail(nullptr), "Last Modified: ");
    EXPECT_EQ(lastModifiedDetail(&number), "Last Modified: ");
}

}  // namespace
}  // namespace zv
