#include "SettingsApp.h"

#include "foundation/DeviceFiles.h"
#include "foundation/NSBundle.h"
#include "foundation/NSFileManager.h"
#include "uikit/views/UIScreen.h"

namespace zv::device {

namespace {

std::string stringIn(const PlistDictionary& dict, const char* key) {
    const PlistValue* value = plistLookup(dict, key);
    return value && value->string() ? *value->string() : std::string();
}

}  // namespace

std::vector<BundleEntry> readBundleEntries() {
    std::vector<BundleEntry> entries;
    auto names = NSFileManager::defaultManager().contentsOfDirectoryAtPath(kPreferenceLoaderFolder, nullptr);
    if (!names) return entries;
    for (const auto& name : *names) {
        if (!name.ends_with(".plist")) continue;
        const std::string file = std::string(kPreferenceLoaderFolder) + "/" + name;
        auto plist = dictionaryWithContentsOfFile(file);
        const PlistValue* entry = plist ? plistLookup(*plist, "entry") : nullptr;
        if (!entry || !entry->dictionary()) continue;
        BundleEntry e{file, stringIn(*entry->dictionary(), "bundle"), stringIn(*entry->dictionary(), "label"), false};
        if (e.bundle.empty()) continue;
        if (const PlistValue* flag = plistLookup(*entry->dictionary(), "isController"))
            e.isController = flag->boolValue().value_or(false);
        entries.push_back(std::move(e));
    }
    return entries;
}

SettingsApp::SettingsApp() : navigation_(UIScreen::mainScreen().bounds().size) {}

bool SettingsApp::start() {
    entries_ = readBundleEntries();
    if (entries_.empty()) {
        loadError_ = std::string("no bundle entry in ") + kPreferenceLoaderFolder;
        return false;
    }
    const BundleEntry& entry = entries_.front();
    bundlePath_ = std::string(kPreferenceBundlesFolder) + "/" + entry.bundle + ".bundle";
    auto bundle = NSBundle::bundleWithPath(bundlePath_);
    if (!bundle) {
        loadError_ = "no bundle at " + bundlePath_;
        return false;
    }
    std::string error;
    if (!bundle->load(&error)) {
        loadError_ = "cannot load " + bundle->executablePath() + ": " + error;
        return false;
    }
    auto principal = bundle->principalClassName();
    if (!principal) {
        loadError_ = bundlePath_ + "/Info.plist names no NSPrincipalClass";
        return false;
    }
    rootClass_ = *principal;
    PSSpecifier specifier(PlistDictionary{{"cell", PlistValue("PSLinkCell")},
                                          {"label", PlistValue(entry.label)},
                                          {"bundle", PlistValue(entry.bundle)},
                                          {"isController", PlistValue(entry.isController)}});
    auto root = navigation_.controllerForClassName(rootClass_, specifier, &error);
    if (!root) {
        loadError_ = error;
        return false;
    }
    if (root->title().empty()) root->setTitle(entry.label);
    navigation_.pushController(root);
    return true;
}

}  // namespace zv::device
