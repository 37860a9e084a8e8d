// The file operations of the profile manager (Foundation's NSFileManager).
// Paths are device paths (DeviceFiles.h).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/NSError.h"

class NSFileManager {
public:
    static NSFileManager& defaultManager();

    // The names of the folder's entries, one level, without "." and "..",
    // sorted by byte value (a fixed order, as the device's filesystem gives
    // one). Empty, with *error filled when given, when the folder cannot be
    // listed.
    std::optional<std::vector<std::string>> contentsOfDirectoryAtPath(std::string_view path, NSError* error);
    // Whether anything (file, folder) exists at the path.
    bool fileExistsAtPath(std::string_view path);
    // Removes the file, or the folder with everything in it. On failure
    // returns false and fills *error (when given).
    bool removeItemAtPath(std::string_view path, NSError* error);
};
