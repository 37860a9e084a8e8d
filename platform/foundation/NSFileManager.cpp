#include "foundation/NSFileManager.h"

#include <algorithm>
#include <filesystem>

#include "foundation/DeviceFiles.h"
#include "foundation/NSPathUtilities.h"

namespace fs = std::filesystem;

namespace {

// Foundation's codes and texts for the failures that matter here.
NSError fileError(std::error_code ec, std::string_view path, bool reading) {
    const std::string subject = std::string(reading ? "The folder " : "") + "\u201c" + lastPathComponent(path) +
                                "\u201d" + (reading ? " couldn\u2019t be opened" : " couldn\u2019t be removed");
    NSInteger code = reading ? 256 : 512;
    std::string reason = ".";
    if (ec == std::errc::no_such_file_or_directory) {
        code = reading ? 260 : 4;
        reason = reading ? " because there is no such file." : " because it doesn\u2019t exist.";
    } else if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted) {
        code = reading ? 257 : 513;
        reason = " because you don\u2019t have permission to access it.";
    }
    return NSError{"NSCocoaErrorDomain", code, subject + reason};
}

}  // namespace

NSFileManager& NSFileManager::defaultManager() {
    static NSFileManager manager;
    return manager;
}

std::optional<std::vector<std::string>> NSFileManager::contentsOfDirectoryAtPath(std::string_view path, NSError* error) {
    std::error_code ec;
    std::vector<std::string> names;
    fs::directory_iterator it(resolveDevicePath(path), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) names.push_back(it->path().filename().string());
    if (ec) {
        if (error) *error = fileError(ec, path, true);
        return std::nullopt;
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool NSFileManager::fileExistsAtPath(std::string_view path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(resolveDevicePath(path), ec));
}

bool NSFileManager::removeItemAtPath(std::string_view path, NSError* error) {
    const std::string host = resolveDevicePath(path);
    std::error_code ec;
    if (path.empty() || !fs::exists(fs::symlink_status(host, ec))) {
        if (!ec) ec = std::make_error_code(std::errc::no_such_file_or_directory);
        if (error) *error = fileError(ec, path, false);
        return false;
    }
    fs::remove_all(host, ec);
    if (ec) {
        if (error) *error = fileError(ec, path, false);
        return false;
    }
    return true;
}
