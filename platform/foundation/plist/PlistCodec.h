// Property-list codec on libplist: reads XML and binary property lists,
// writes XML. Nothing here is a hand-written parser.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "foundation/plist/PropertyList.h"

// Parses XML or binary bytes. Empty on bytes that are not a property list.
std::optional<PlistValue> plistFromBytes(std::string_view bytes);
// As plistFromBytes, but also empty when the root is not a dictionary.
std::optional<PlistDictionary> plistDictionaryFromBytes(std::string_view bytes);
// The XML property-list text of a value.
std::string plistToXml(const PlistValue& value);
