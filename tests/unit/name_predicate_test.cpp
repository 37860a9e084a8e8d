// "SELF like %@" name matching, as the profile manager lists profile files.
#include <gtest/gtest.h>

#include "foundation/NSPredicate.h"

namespace {

struct LikeCase {
    const char* text;
    const char* pattern;
    bool matches;
};

TEST(NamePredicate, WholeNameWildcardMatching) {
    const LikeCase cases[] = {
        {"net.quellit.zorvane_work.plist", "net.quellit.zorvane_*.plist", true},
        {"net.quellit.zorvane_.plist", "net.quellit.zorvane_*.plist", true},  // "*" takes the empty run
        {"net.quellit.zorvane.plist", "net.quellit.zorvane_*.plist", false},  // the settings file itself
        {"net.quellit.zorvane_a.plist.bak", "net.quellit.zorvane_*.plist", false},  // whole name only
        {"xnet.quellit.zorvane_a.plist", "net.quellit.zorvane_*.plist", false},
        {"Net.quellit.zorvane_a.plist", "net.quellit.zorvane_*.plist", false},  // case-sensitive
        {"net.quellit.zorvane_a_b.plist", "net.quellit.zorvane_*.plist", true},
        {"net.quellit.zorvane_.plist.plist", "net.quellit.zorvane_*.plist", true},  // needs backtracking
        {"abc", "a?c", true},
        {"ac", "a?c", false},
        {"a\xC3\xA9" "c", "a?c", true},  // "?" is one character, not one byte
        {"", "", true},
        {"", "*", true},
        {"a", "", false},
        {"", "?", false},
        {"abc", "***", true},
        {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", "a*a*a*a*a*a*b", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(likeMatches(c.text, c.pattern), c.matches) << c.text << " like " << c.pattern;
    }
}

TEST(NamePredicate, FormatsAndCaseInsensitiveForm) {
    const auto like = NSPredicate::predicateWithFormat("SELF like %@", "a*.PLIST");
    EXPECT_TRUE(like.evaluateWithObject("a1.PLIST"));
    EXPECT_FALSE(like.evaluateWithObject("a1.plist"));

    const auto likeC = NSPredicate::predicateWithFormat("SELF LIKE[c] %@", "a*.PLIST");
    EXPECT_TRUE(likeC.evaluateWithObject("A1.plist"));

    // A form other than "SELF like %@" matches nothing rather than everything.
    const auto other = NSPredicate::predicateWithFormat("SELF contains %@", "*");
    EXPECT_FALSE(other.evaluateWithObject("anything"));

    const std::vector<std::string> names{"b_1.plist", "a.plist", "b_2.plist", "b_.txt"};
    EXPECT_EQ(filteredArrayUsingPredicate(names, NSPredicate::predicateWithFormat("SELF like %@", "b_*.plist")),
              (std::vector<std::string>{"b_1.plist", "b_2.plist"}));
}

}  // namespace
