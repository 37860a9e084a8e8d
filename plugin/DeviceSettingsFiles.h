// The settings files of a device: device paths resolved inside a device
// root, read with the platform's property-list reader and replaced whole
// atomically, as writeToFile:atomically: does.
#pragma once

#include <string>

#include "SettingsFileAccess.h"

namespace zv {

class DeviceSettingsFiles final : public SettingsFileAccess {
public:
    // The files of the device this process runs on (its ZV_DEVICE_ROOT).
    DeviceSettingsFiles();
    // The files of the device whose root is the host folder hostRoot, for
    // tools and tests that look at a device from outside it.
    static DeviceSettingsFiles underRoot(std::string hostRoot);

    std::optional<PlistDictionary> read(std::string_view devicePath) override;
    std::optional<PlistDictionary> readNotingDroppedKeys(std::string_view devicePath,
                                                         std::vector<DroppedPlistKey>& dropped) override;
    bool write(std::string_view devicePath, const PlistDictionary& dict) override;

private:
    explicit DeviceSettingsFiles(std::string hostRoot);
    std::string hostPath(std::string_view devicePath) const;

    std::string root_;  // host path of the device root, without a trailing slash
};

}  // namespace zv
