#include "DeviceRoot.h"

#include <filesystem>
#include <system_error>

namespace zv::device {

namespace fs = std::filesystem;

std::string prepareDeviceRoot(const std::string& hostRoot, const std::string& stageDir) {
    std::error_code error;
    for (const char* folder : {"/var/mobile/Library/Preferences", "/var/run/dbus", "/Applications",
                               "/System/Library/CoreServices", "/Library/MobileSubstrate/DynamicLibraries",
                               "/Library/PreferenceBundles", "/Library/PreferenceLoader/Preferences"}) {
        fs::create_directories(hostRoot + folder, error);
        if (error) return "cannot create " + hostRoot + folder + ": " + error.message();
    }
    if (!fs::is_directory(stageDir)) return "no staged deliverables at " + stageDir + " (build first)";
    fs::copy(stageDir, hostRoot, fs::copy_options::recursive | fs::copy_options::overwrite_existing, error);
    if (error) return "cannot install the deliverables: " + error.message();
    return {};
}

}  // namespace zv::device
