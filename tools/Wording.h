// How the tool puts values from a person's file into its own lines.
#pragma once

#include <string>
#include <string_view>

namespace zv::tools {

// A property-list type as a phrase, from its one-word name (plistTypeName):
// "a string", "an array", "a real number", "a data value".
std::string typePhrase(std::string_view typeName);

// Text from a file as it may be shown on a terminal or put into JSON: valid
// UTF-8 without control characters. Invalid bytes and control characters
// become \xNN escapes; everything else is unchanged.
std::string printable(std::string_view text);

// Text from a file in quotation marks, made printable.
std::string quoted(std::string_view text);

}  // namespace zv::tools
