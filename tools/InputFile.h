// A settings or profile file named on the command line, read safely: only a
// regular file of at most kMaxPropertyListFileBytes (the plug-in's own
// bound, 16 MiB) is read at all (a FIFO, a device or a directory is refused
// without waiting on it), and the bytes must be a property list whose root
// is a dictionary.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "foundation/DeviceFiles.h"
#include "foundation/plist/PlistCodec.h"
#include "foundation/plist/PropertyList.h"

namespace zv::tools {

struct InputFile {
    std::string bytes;                        // the whole file, when it could be read
    std::optional<PlistDictionary> settings;  // its root dictionary
    std::string problem;                      // why there is no dictionary; empty when there is one
    std::vector<DroppedPlistKey> droppedKeys; // entries left out of it for keys that are no text
};

InputFile readInputFile(const std::string& path);
// The same for bytes already in hand (a file brought in from elsewhere).
InputFile inputFileFromBytes(std::string bytes);

// What a file that is no regular file is, in the tool's messages ("a FIFO" …).
const char* fileKind(mode_t mode);

}  // namespace zv::tools
