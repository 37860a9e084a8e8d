// The device root of a simulated device: the folder that stands for the
// phone's filesystem.
#pragma once

#include <string>

namespace zv::device {

// Where the launcher keeps the embedded default device.
inline constexpr const char* kDefaultDeviceRoot = "/tmp/zorvane-device";

// Lays out the folders of a fresh device (preferences, applications, the
// injection and preference-bundle folders) where they are missing, and
// installs the deliverables staged by the build (stageDir) at their device
// paths, replacing older copies. User files already in the root are kept.
// Returns an error text, empty on success.
std::string prepareDeviceRoot(const std::string& hostRoot, const std::string& stageDir);

}  // namespace zv::device
