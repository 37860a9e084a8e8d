// Property-list codec on libplist: reads XML and binary property lists,
// writes XML. Nothing here is a hand-written parser; the bytes are measured
// first (PlistShape.h), and a list nested or sized beyond its bounds reads
// as nothing. Arrays and dictionaries are read in one pass each, in time
// linear in their size.
//
// A dictionary key that is no text (it holds a NUL character, an unpaired
// UTF-16 surrogate or bytes that are not well-formed UTF-8) names no key
// anyone knows, though libplist would read some of them as one: such an
// entry is left out, and a reader who asks is told which. Strings read up to
// their first NUL, as libplist's writer keeps them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Utf8.h"
#include "foundation/plist/PropertyList.h"

// A dictionary entry left out because its key is no text.
struct DroppedPlistKey {
    // Where the key was: the key path of its dictionary ("" for the root,
    // "left", "items[2]") followed by the key, joined with ".", each key
    // shown as escapedUtf8 shows it (foundation/Utf8.h): "\uD800enabled",
    // "left.data\x00".
    std::string path;
    std::string escapedKey;  // the key alone, shown the same way
    TextFault fault = TextFault::Nul;  // why it is no text
};

// Parses XML or binary bytes. Empty on bytes that are not a property list,
// or one beyond the bounds of PlistShape.h. With `dropped`, the entries left
// out for their keys are added to it, in file order.
std::optional<PlistValue> plistFromBytes(std::string_view bytes, std::vector<DroppedPlistKey>* dropped = nullptr);
// As plistFromBytes, but also empty when the root is not a dictionary.
std::optional<PlistDictionary> plistDictionaryFromBytes(std::string_view bytes,
                                                        std::vector<DroppedPlistKey>* dropped = nullptr);
// The XML property-list text of a value.
std::string plistToXml(const PlistValue& value);
