// The Settings application's own state: the bundle entry it shows, the
// bundle loaded for it and the navigation stack of its pages.
//
// Start-up finds the bundle as PreferenceLoader does on a device: every
// entry file in /Library/PreferenceLoader/Preferences/ ({"entry": {"bundle":
// "Zorvane", "cell": "PSLinkCell", "label": "Zorvane", "isController":
// true}}), in name order; the first that names a bundle is shown. Its bundle
// is /Library/PreferenceBundles/<bundle>.bundle: the bundle's library is
// loaded (its initialiser registers its page classes), and its Info.plist's
// "NSPrincipalClass" is created, initialised for the screen's size and pushed
// as the root page, titled with the entry's label when it has no title.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "preferences/PSRootController.h"
#include "substrate/Injection.h"

namespace zv::device {

inline constexpr const char* kPreferenceLoaderFolder = "/Library/PreferenceLoader/Preferences";
inline constexpr const char* kPreferenceBundlesFolder = "/Library/PreferenceBundles";

struct BundleEntry {
    std::string file;    // device path of the entry file
    std::string bundle;  // "bundle"
    std::string label;   // "label"
    bool isController = false;
};

// The entries of the PreferenceLoader folder that name a bundle, in file-name order.
std::vector<BundleEntry> readBundleEntries();

class SettingsApp {
public:
    SettingsApp();

    // Loads the first entry's bundle and pushes its root page. False, with
    // the reason kept in loadError(), when anything on the way fails.
    bool start();

    PSRootController& navigation() { return navigation_; }
    const std::vector<BundleEntry>& entries() const { return entries_; }
    const std::string& bundlePath() const { return bundlePath_; }
    const std::string& rootClass() const { return rootClass_; }
    const std::string& loadError() const { return loadError_; }

    InjectionResult injection;

private:
    PSRootController navigation_;
    std::vector<BundleEntry> entries_;
    std::string bundlePath_;
    std::string rootClass_;
    std::string loadError_;
};

}  // namespace zv::device
