// How the settings loader reaches property-list files. The loader itself is a
// plain function over this interface, so the same rules run against the
// device's files in a host process and against files held in memory in tests,
// the fuzzer and the benchmark.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "foundation/plist/PlistCodec.h"
#include "foundation/plist/PropertyList.h"

namespace zv {

struct SettingsFileAccess {
    virtual ~SettingsFileAccess() = default;
    // The dictionary stored at a device path; empty when the file is missing,
    // cannot be parsed or its root is not a dictionary.
    virtual std::optional<PlistDictionary> read(std::string_view devicePath) = 0;
    // As read, adding to `dropped` the entries the reader left out because
    // their keys are no text (PlistCodec.h). Files held as values have none.
    virtual std::optional<PlistDictionary> readNotingDroppedKeys(std::string_view devicePath,
                                                                 std::vector<DroppedPlistKey>& dropped) {
        (void)dropped;
        return read(devicePath);
    }
    // Replaces the whole file at a device path atomically; false on failure.
    virtual bool write(std::string_view devicePath, const PlistDictionary& dict) = 0;
};

}  // namespace zv
