#include "foundation/NSBundle.h"

#include <dlfcn.h>

#include <filesystem>
#include <set>

#include "foundation/DeviceFiles.h"

namespace {

// Libraries loaded so far, by device path; they are never unloaded.
std::set<std::string>& loadedLibraries() {
    static std::set<std::string> loaded;
    return loaded;
}

std::string& pathBeingLoaded() {
    static std::string path;
    return path;
}

}  // namespace

std::optional<NSBundle> NSBundle::bundleWithPath(std::string devicePath) {
    while (devicePath.size() > 1 && devicePath.back() == '/') devicePath.pop_back();
    std::error_code ec;
    if (devicePath.empty() || !std::filesystem::is_directory(resolveDevicePath(devicePath), ec)) return std::nullopt;
    NSBundle bundle;
    bundle.path_ = devicePath;
    bundle.info_ = dictionaryWithContentsOfFile(devicePath + "/Info.plist").value_or(PlistDictionary{});
    return bundle;
}

std::optional<std::string> NSBundle::principalClassName() const {
    const PlistValue* value = plistLookup(info_, "NSPrincipalClass");
    if (!value || !value->string() || value->string()->empty()) return std::nullopt;
    return *value->string();
}

std::string NSBundle::executablePath() const {
    const PlistValue* value = plistLookup(info_, "CFBundleExecutable");
    std::string name;
    if (value && value->string() && !value->string()->empty()) {
        name = *value->string();
    } else {
        name = path_.substr(path_.rfind('/') + 1);
        if (name.size() > 7 && name.ends_with(".bundle")) name.resize(name.size() - 7);
    }
    return path_ + "/" + name;
}

std::optional<std::string> NSBundle::pathForResource(const std::string& name, const std::string& type) const {
    std::string path = path_ + "/" + name + (type.empty() ? "" : "." + type);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(resolveDevicePath(path), ec)) return std::nullopt;
    return path;
}

const std::string& NSBundle::bundlePathBeingLoaded() { return pathBeingLoaded(); }

bool NSBundle::load(std::string* error) {
    const std::string library = executablePath();
    if (loadedLibraries().count(library)) return true;
    pathBeingLoaded() = path_;
    void* handle = dlopen(resolveDevicePath(library).c_str(), RTLD_NOW | RTLD_LOCAL);
    pathBeingLoaded().clear();
    if (!handle) {
        if (error) {
            const char* message = dlerror();
            *error = message ? message : "cannot load " + library;
        }
        return false;
    }
    loadedLibraries().insert(library);
    return true;
}
