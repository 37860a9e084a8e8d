#include "foundation/NSPredicate.h"

#include <sstream>

#include "foundation/Utf8.h"

namespace {

char32_t fold(char32_t c, bool caseInsensitive) {
    return caseInsensitive && c >= U'A' && c <= U'Z' ? c - U'A' + U'a' : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (fold(static_cast<unsigned char>(a[i]), true) != fold(static_cast<unsigned char>(b[i]), true)) return false;
    }
    return true;
}

}  // namespace

// Wildcard matching with one backtracking point: on a mismatch after a "*",
// the "*" takes one more character. Linear in practice, O(n*m) at worst.
bool likeMatches(std::string_view textUtf8, std::string_view patternUtf8, bool caseInsensitive) {
    const std::u32string text = decodeUtf8(textUtf8);
    const std::u32string pattern = decodeUtf8(patternUtf8);
    std::size_t t = 0, p = 0;
    std::size_t starP = std::u32string::npos, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == U'*') {
            starP = p++;
            starT = t;
        } else if (p < pattern.size() &&
                   (pattern[p] == U'?' || fold(pattern[p], caseInsensitive) == fold(text[t], caseInsensitive))) {
            ++p;
            ++t;
        } else if (starP != std::u32string::npos) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*') ++p;
    return p == pattern.size();
}

NSPredicate NSPredicate::predicateWithFormat(std::string_view format, std::string argument) {
    std::istringstream words{std::string(format)};
    std::string self, op, placeholder, extra;
    words >> self >> op >> placeholder;
    NSPredicate predicate;
    if (equalsIgnoringCase(self, "SELF") && placeholder == "%@" && !(words >> extra)) {
        if (equalsIgnoringCase(op, "like")) predicate.kind_ = Kind::Like;
        else if (equalsIgnoringCase(op, "like[c]")) predicate.kind_ = Kind::LikeCaseInsensitive;
    }
    predicate.pattern_ = std::move(argument);
    return predicate;
}

bool NSPredicate::evaluateWithObject(std::string_view text) const {
    switch (kind_) {
        case Kind::Like: return likeMatches(text, pattern_, false);
        case Kind::LikeCaseInsensitive: return likeMatches(text, pattern_, true);
        case Kind::MatchesNothing: return false;
    }
    return false;
}

std::vector<std::string> filteredArrayUsingPredicate(const std::vector<std::string>& array,
                                                     const NSPredicate& predicate) {
    std::vector<std::string> kept;
    for (const auto& s : array) {
        if (predicate.evaluateWithObject(s)) kept.push_back(s);
    }
    return kept;
}
