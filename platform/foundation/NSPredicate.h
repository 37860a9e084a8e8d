// Name matching with Foundation's NSPredicate, for the one form the system
// uses: "SELF like %@" with a pattern argument. The whole string must match
// the pattern; "*" stands for any run of characters (the empty run
// included), "?" for exactly one character (a Unicode code point), every
// other character for itself, compared case-sensitively. "like[c]" compares
// without case (ASCII letters). A format of any other form matches nothing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The matching rule itself.
bool likeMatches(std::string_view text, std::string_view pattern, bool caseInsensitive = false);

class NSPredicate {
public:
    // predicateWithFormat: with one %@ argument.
    static NSPredicate predicateWithFormat(std::string_view format, std::string argument);

    bool evaluateWithObject(std::string_view text) const;

private:
    enum class Kind { Like, LikeCaseInsensitive, MatchesNothing };
    Kind kind_ = Kind::MatchesNothing;
    std::string pattern_;
};

// NSArray's filteredArrayUsingPredicate:, keeping the order.
std::vector<std::string> filteredArrayUsingPredicate(const std::vector<std::string>& array,
                                                     const NSPredicate& predicate);
