#include "substrate/Injection.h"

#include <dirent.h>
#include <dlfcn.h>

#include <algorithm>

#include "foundation/DeviceFiles.h"

InjectionResult injectDynamicLibraries() {
    InjectionResult result;
    const std::string folder = resolveDevicePath(kDynamicLibrariesFolder);
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (dirent* entry = ::readdir(dir)) {
            std::string name = entry->d_name;
            if (name.size() > 6 && name.compare(name.size() - 6, 6, ".dylib") == 0) names.push_back(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    for (const auto& name : names) {
        const std::string devicePath = std::string(kDynamicLibrariesFolder) + name;
        // Libraries stay loaded for the life of the process; the handle is never closed.
        if (::dlopen((folder + name).c_str(), RTLD_NOW | RTLD_LOCAL)) {
            result.loaded.push_back(devicePath);
        } else {
            const char* why = ::dlerror();
            result.failed.push_back(devicePath + ": " + (why ? why : "unknown error"));
        }
    }
    return result;
}
