#include "foundation/DeviceFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "foundation/PlatformActivity.h"
#include "foundation/plist/PlistCodec.h"

namespace {

std::string computeRoot() {
    const char* env = std::getenv("ZV_DEVICE_ROOT");
    std::string root = env ? env : "";
    while (!root.empty() && root.back() == '/') root.pop_back();
    return root;
}

bool writeAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

std::string folderOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool syncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool writeInPlace(const std::string& hostPath, std::string_view bytes) {
    int fd = ::open(hostPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = writeAll(fd, bytes);
    ok = (::close(fd) == 0) && ok;
    return ok;
}

}  // namespace

const std::string& deviceRoot() {
    static const std::string root = computeRoot();
    return root;
}

std::string resolveDevicePath(std::string_view devicePath) {
    std::string path = deviceRoot();
    if (devicePath.empty() || devicePath.front() != '/') path += '/';
    path += devicePath;
    return path;
}

std::optional<std::string> readHostFile(const std::string& hostPath) {
    int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string bytes;
    bytes.reserve(static_cast<size_t>(st.st_size));
    char buffer[16384];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return bytes;
}

bool writeHostFileAtomically(const std::string& hostPath, std::string_view bytes) {
    const std::string folder = folderOf(hostPath);
    std::string temp = hostPath + ".XXXXXX";
    int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ::fchmod(fd, 0644) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = ::rename(temp.c_str(), hostPath.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    // The rename is durable only once the folder itself is synced.
    syncFolder(folder);
    return true;
}

std::optional<PlistDictionary> dictionaryWithContentsOfFile(std::string_view devicePath) {
    auto bytes = readHostFile(resolveDevicePath(devicePath));
    if (!bytes) return std::nullopt;
    return plistDictionaryFromBytes(*bytes);
}

bool writeToFile(const PlistDictionary& dict, std::string_view devicePath, bool atomically) {
    const std::string xml = plistToXml(PlistValue(dict));
    if (xml.empty()) return false;
    const std::string hostPath = resolveDevicePath(devicePath);
    const bool written = atomically ? writeHostFileAtomically(hostPath, xml) : writeInPlace(hostPath, xml);
    if (written) reportPlatformActivity(PlatformActivity::FileWritten, devicePath);
    return written;
}
