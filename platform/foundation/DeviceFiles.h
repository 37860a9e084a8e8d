// The device filesystem. Device paths ("/var/mobile/Library/Preferences/...")
// resolve inside the device root, the folder that whoever starts the process
// names in the environment variable ZV_DEVICE_ROOT (the launcher, a test).
// Without it the root is "/" and device paths are host paths.
//
// Whole files are replaced atomically: the bytes go to a temporary file in
// the same folder, which is synced, renamed over the target, and the folder
// synced. A reader sees the old file or the new one, never a partial one; a
// failed write leaves the old file and no temporary file behind.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "foundation/plist/PropertyList.h"

// The device root as a host path, without a trailing slash ("" for "/").
const std::string& deviceRoot();
// The host path of a device path.
std::string resolveDevicePath(std::string_view devicePath);

// Whole-file read of a host path; empty when the file cannot be read.
std::optional<std::string> readHostFile(const std::string& hostPath);
// Atomic whole-file replacement of a host path; false on any failure.
bool writeHostFileAtomically(const std::string& hostPath, std::string_view bytes);

// Property-list files at device paths (the platform's
// dictionaryWithContentsOfFile: and writeToFile:atomically:). A file that is
// missing, unparseable or whose root is not a dictionary reads as empty.
std::optional<PlistDictionary> dictionaryWithContentsOfFile(std::string_view devicePath);
// Writes XML. With atomically false the file is written in place.
bool writeToFile(const PlistDictionary& dict, std::string_view devicePath, bool atomically = true);
