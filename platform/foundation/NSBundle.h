// A bundle folder on the device (Foundation's NSBundle), as the Settings
// application uses it: its Info.plist, its resources and its code library.
#pragma once

#include <optional>
#include <string>

#include "foundation/plist/PropertyList.h"

class NSBundle {
public:
    // The bundle at a device path; empty when there is no folder there.
    static std::optional<NSBundle> bundleWithPath(std::string devicePath);

    const std::string& bundlePath() const { return path_; }
    // Info.plist's dictionary, empty when missing or unreadable.
    const PlistDictionary& infoDictionary() const { return info_; }
    // "NSPrincipalClass", empty when absent.
    std::optional<std::string> principalClassName() const;
    // The device path of the code library: "CFBundleExecutable" inside the
    // bundle, by default the bundle's name without ".bundle".
    std::string executablePath() const;
    // The device path of "<name>.<type>" in the bundle, empty when no such
    // file exists.
    std::optional<std::string> pathForResource(const std::string& name, const std::string& type) const;

    // Loads the code library (once per process). While its load-time
    // constructors run, bundlePathBeingLoaded() names this bundle, so that
    // what they register (the Settings framework's pages) is attributed to
    // it. On failure returns false and sets *error to the loader's message.
    bool load(std::string* error = nullptr);

    // The device path of the bundle whose library is being loaded now; ""
    // outside load(). Bundles load on the main thread.
    static const std::string& bundlePathBeingLoaded();

private:
    std::string path_;
    PlistDictionary info_;
};
