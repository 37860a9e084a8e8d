// Property-list codec on libplist: reads XML and binary property lists,
// writes XML. Nothing here is a hand-written parser; the bytes are measured
// first (PlistShape.h), and a list nested or sized beyond its bounds reads
// as nothing. A dictionary key holding a NUL character names no key anyone
// knows: such an entry is left out, while strings read up to their first
// NUL, as libplist's writer keeps them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "foundation/plist/PropertyList.h"

// Parses XML or binary bytes. Empty on bytes that are not a property list,
// or one beyond the bounds of PlistShape.h.
std::optional<PlistValue> plistFromBytes(std::string_view bytes);
// As plistFromBytes, but also empty when the root is not a dictionary.
std::optional<PlistDictionary> plistDictionaryFromBytes(std::string_view bytes);
// The XML property-list text of a value.
std::string plistToXml(const PlistValue& value);
