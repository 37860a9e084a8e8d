// The shape of property-list bytes, found before libplist walks them: how
// deep its dictionaries and arrays nest, how many objects libplist would
// build, and which dictionary keys are no text.
//
// libplist recurses once per level when it parses and when it frees a tree,
// without a bound of its own, and builds a binary list's object anew for
// each reference to it. A list nested deeper than the stack, or one whose
// references multiply (each level referring twice to the next), exhausts the
// process before any check on the parsed tree could run. So the codec
// measures first, without recursion, and reads nothing beyond these bounds.
// A settings file nests three levels and holds about 80 objects; the bounds
// are far above that (a large file that is shallow stays readable), and at
// them a load costs libplist tens of milliseconds and megabytes, not seconds
// and hundreds of megabytes.
//
// Keys that are no text: libplist ends a key at its first NUL (and aborts on
// such a key in UTF-16), so "left\0evil" would read as, and replace, "left";
// and it leaves out an unpaired surrogate of a UTF-16 key, so U+D800 followed
// by "enabled" would read as "enabled". Such a key is a key of its own, which
// no reader knows: the codec drops it with its value, and finds those keys
// here that libplist's tree no longer shows. (Bytes that are not UTF-8 stay
// in libplist's tree and are found there.)
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/Utf8.h"

// Dictionaries and arrays nested in one another; the root counts as one.
inline constexpr std::size_t kMaxPlistDepth = 512;
// Objects libplist would build: every value and every key, a binary object
// counted once per reference to it.
inline constexpr std::size_t kMaxPlistObjects = std::size_t{1} << 17;

// A dictionary entry of a binary list whose key holds a NUL character or an
// unpaired UTF-16 surrogate.
struct PlistKeyNoText {
    // The entry's place among all entries of the list in the order libplist
    // builds them (depth first, in file order, from 0).
    std::uint64_t entry = 0;
    std::string escapedKey;  // the key as escapedUtf8 or escapedUtf16 (foundation/Utf8.h) shows it
    TextFault fault = TextFault::Nul;
};

struct PlistShape {
    // Binary lists: the entries whose key is no text, ascending.
    std::vector<PlistKeyNoText> droppedKeyEntries;
    // XML lists: the byte ranges (offset, length) of the text of the <key>
    // elements that name a dictionary entry and hold a NUL character.
    std::vector<std::pair<std::size_t, std::size_t>> nulKeyTexts;
};

// Bytes starting "bplist00". Empty when the list goes beyond the bounds, or
// its structure is broken in a way that libplist refuses too.
std::optional<PlistShape> measureBinaryPlist(std::string_view bytes);

// Any other bytes, as XML. Empty when the list goes beyond the bounds, or
// holds markup that libplist refuses too. Parsing stops where libplist's
// does: after the root object.
std::optional<PlistShape> measureXmlPlist(std::string_view bytes);
