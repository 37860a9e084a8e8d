// Foundation's path operations on text (NSString's NSPathUtilities).
#pragma once

#include <string>
#include <string_view>

// The last path component, as NSString's lastPathComponent gives it:
// trailing slashes are ignored ("/a/b/" gives "b"), "/" alone (or only
// slashes) gives "/", a text without a slash is its own last component, and
// "" gives "".
std::string lastPathComponent(std::string_view path);
