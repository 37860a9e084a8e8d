#include "control/DeviceRoot.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "control/DevicePaths.h"
#include "foundation/plist/PlistCodec.h"
#include "foundation/DeviceFiles.h"
#include "uikit/controls/UIDocumentInteractionController.h"

namespace zv::device {

namespace fs = std::filesystem;

namespace {

// The folders of every device, as device paths.
constexpr const char* kDeviceFolders[] = {zv::control::kPreferencesFolder,  "/var/run/dbus",
                                          "/Applications",                    "/System/Library/CoreServices",
                                          "/Library/MobileSubstrate/DynamicLibraries", "/Library/PreferenceBundles",
                                          "/Library/PreferenceLoader/Preferences"};
constexpr const char* kInjectionFolder = "/Library/MobileSubstrate/DynamicLibraries";

std::string octal(mode_t mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}

// Why an entry (folder or file) is not the person's own, empty when it is.
std::string untrustedEntry(const std::string& hostPath, bool mustBeFolder) {
    struct stat info {};
    if (::lstat(hostPath.c_str(), &info) != 0) return hostPath + ": " + std::strerror(errno);
    if (info.st_uid != ::geteuid())
        return hostPath + " belongs to another user (uid " + std::to_string(info.st_uid) + ")";
    if (S_ISLNK(info.st_mode)) return mustBeFolder ? hostPath + " is a symbolic link" : std::string();
    if (mustBeFolder && !S_ISDIR(info.st_mode)) return hostPath + " is not a folder";
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return hostPath + " can be written by other users (mode " + octal(info.st_mode) + ")";
    return {};
}

bool exists(const std::string& hostPath) {
    struct stat info {};
    return ::lstat(hostPath.c_str(), &info) == 0;
}

// The device path and every folder above it, top first ("/Library",
// "/Library/MobileSubstrate", ...).
std::vector<std::string> foldersOnTheWay(const std::string& devicePath) {
    std::vector<std::string> folders;
    for (size_t slash = devicePath.find('/', 1); slash != std::string::npos; slash = devicePath.find('/', slash + 1))
        folders.push_back(devicePath.substr(0, slash));
    folders.push_back(devicePath);
    return folders;
}

std::string readWhole(const std::string& hostPath) {
    std::ifstream in(hostPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Installs one staged file at `target`: unchanged when it already holds the
// same bytes, else through a new file renamed over it.
std::string installFile(const fs::path& source, const std::string& target) {
    struct stat sourceInfo {};
    if (::stat(source.c_str(), &sourceInfo) != 0) return source.string() + ": " + std::strerror(errno);
    struct stat targetInfo {};
    if (::lstat(target.c_str(), &targetInfo) == 0 && S_ISREG(targetInfo.st_mode) &&
        targetInfo.st_size == sourceInfo.st_size && (targetInfo.st_mode & 07777) == (sourceInfo.st_mode & 0755) &&
        readWhole(target) == readWhole(source))
        return {};
    const std::string staging = target + ".zv-staging";
    ::unlink(staging.c_str());  // left by an interrupted start
    std::error_code error;
    fs::copy_file(source, staging, error);
    if (!error) fs::permissions(staging, static_cast<fs::perms>(sourceInfo.st_mode & 0755), error);
    if (!error && ::rename(staging.c_str(), target.c_str()) != 0) error.assign(errno, std::generic_category());
    if (error) {
        ::unlink(staging.c_str());
        return "cannot install " + target + ": " + error.message();
    }
    return {};
}

// Makes the folder when missing (never writable by group or others).
std::string makeFolder(const std::string& hostPath) {
    if (::mkdir(hostPath.c_str(), 0755) == 0 || errno == EEXIST) return {};
    return "cannot create " + hostPath + ": " + std::strerror(errno);
}

std::string makeDeviceFolder(const std::string& hostRoot, const std::string& devicePath) {
    for (const std::string& folder : foldersOnTheWay(devicePath))
        if (auto error = makeFolder(hostRoot + folder); !error.empty()) return error;
    return {};
}

}  // namespace

std::string defaultDeviceRoot() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') return std::string(state) + "/zorvane/device";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.local/state/zorvane/device";
    return {};
}

std::string createDeviceRoot(const std::string& hostRoot) {
    if (exists(hostRoot)) return {};
    std::error_code error;
    const fs::path parent = fs::path(hostRoot).parent_path();
    if (!fs::exists(parent, error)) {
        // The person's own state folders: 0700, as XDG asks.
        const mode_t before = ::umask(077);
        fs::create_directories(parent, error);
        ::umask(before);
        if (error) return "cannot create " + parent.string() + ": " + error.message();
    }
    if (::mkdir(hostRoot.c_str(), 0700) != 0 && errno != EEXIST)
        return "cannot create " + hostRoot + ": " + std::strerror(errno);
    return {};
}

std::string untrustedFolder(const std::string& hostPath) { return untrustedEntry(hostPath, true); }

std::string untrustedDeviceRoot(const std::string& hostRoot, const std::string& stageDir) {
    std::vector<std::string> devicePaths;
    for (const char* folder : kDeviceFolders)
        for (std::string& path : foldersOnTheWay(folder)) devicePaths.push_back(std::move(path));
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(stageDir, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error)) {
        if (it->is_directory()) devicePaths.push_back((fs::path("/") / fs::relative(it->path(), stageDir)).string());
    }
    for (const std::string& devicePath : devicePaths) {
        const std::string hostPath = hostRoot + devicePath;
        if (!exists(hostPath)) continue;
        if (auto why = untrustedFolder(hostPath); !why.empty()) return why;
    }
    // Every library there is loaded into every process.
    const std::string injection = hostRoot + kInjectionFolder;
    if (DIR* folder = ::opendir(injection.c_str())) {
        std::string why;
        while (dirent* entry = ::readdir(folder)) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            why = untrustedEntry(injection + "/" + name, false);
            if (!why.empty()) break;
        }
        ::closedir(folder);
        if (!why.empty()) return why;
    }
    return {};
}

std::string prepareDeviceRoot(const std::string& hostRoot, const std::string& stageDir) {
    for (const char* folder : kDeviceFolders)
        if (auto error = makeDeviceFolder(hostRoot, folder); !error.empty()) return error;
    // The default device has two applications that take files from the open-in menu.
    const std::string handlers = hostRoot + kOpenInHandlersPath;
    if (!exists(handlers)) {
        if (auto error = makeDeviceFolder(hostRoot, fs::path(kOpenInHandlersPath).parent_path().string()); !error.empty())
            return error;
        PlistDictionary registry{{"Mail", PlistValue(PlistArray{PlistValue("*")})},
                                 {"Dropbox", PlistValue(PlistArray{PlistValue("plist"), PlistValue("txt")})}};
        if (!writeHostFileAtomically(handlers, plistToXml(PlistValue(std::move(registry)))))
            return "cannot write " + handlers;
    }
    if (!fs::is_directory(stageDir)) return "no staged deliverables at " + stageDir + " (build first)";
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(stageDir, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error)) {
        const std::string target = (fs::path(hostRoot) / fs::relative(it->path(), stageDir)).string();
        std::string failure = it->is_directory() ? makeFolder(target) : installFile(it->path(), target);
        if (!failure.empty()) return failure;
    }
    if (error) return "cannot read the staged deliverables: " + error.message();
    return {};
}

}  // namespace zv::device
