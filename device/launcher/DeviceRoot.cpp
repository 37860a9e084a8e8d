#include "DeviceRoot.h"

#include <filesystem>
#include <system_error>

#include "foundation/plist/PlistCodec.h"
#include "foundation/DeviceFiles.h"
#include "uikit/controls/UIDocumentInteractionController.h"

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
    // The default device has two applications that take files from the open-in menu.
    const std::string handlers = hostRoot + kOpenInHandlersPath;
    if (!fs::exists(handlers)) {
        fs::create_directories(fs::path(handlers).parent_path(), error);
        PlistDictionary registry{{"Mail", PlistValue(PlistArray{PlistValue("*")})},
                                 {"Dropbox", PlistValue(PlistArray{PlistValue("plist"), PlistValue("txt")})}};
        if (error || !writeHostFileAtomically(handlers, plistToXml(PlistValue(std::move(registry)))))
            return "cannot write " + handlers;
    }
    if (!fs::is_directory(stageDir)) return "no staged deliverables at " + stageDir + " (build first)";
    fs::copy(stageDir, hostRoot, fs::copy_options::recursive | fs::copy_options::overwrite_existing, error);
    if (error) return "cannot install the deliverables: " + error.message();
    return {};
}

}  // namespace zv::device
