#include "foundation/DeviceFiles.h"
#include "foundation/Immortal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "foundation/AtomicReplace.h"
#include "foundation/PlatformActivity.h"
#include "foundation/plist/PlistCodec.h"

namespace {

std::string computeRoot() {
    const char* env = std::getenv("ZV_DEVICE_ROOT");
    std::string root = env ? env : "";
    while (!root.empty() && root.back() == '/') root.pop_back();
    return root;
}

std::string folderOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool writeInPlace(const std::string& hostPath, std::string_view bytes) {
    int fd = ::open(hostPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = true;
    while (ok && !bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        ok = n >= 0;
        if (ok) bytes.remove_prefix(static_cast<size_t>(n));
    }
    ok = (::close(fd) == 0) && ok;
    return ok;
}

// Reads the whole of an open descriptor when it is a regular file of at
// most maxBytes.
HostFileRead readOpenFile(int fd, std::size_t maxBytes) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return HostFileRead{{}, HostFileRead::Problem::CannotRead, errno};
    if (!S_ISREG(st.st_mode)) return HostFileRead{{}, HostFileRead::Problem::NotRegularFile, 0, st.st_mode};
    if (static_cast<std::uintmax_t>(st.st_size) > maxBytes) return HostFileRead{{}, HostFileRead::Problem::TooLarge};
    std::string bytes;
    bytes.reserve(static_cast<size_t>(st.st_size));
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return HostFileRead{{}, HostFileRead::Problem::CannotRead, errno};
        }
        if (n == 0) break;
        // A file that grows while it is read is held to the same bound.
        if (static_cast<size_t>(n) > maxBytes - bytes.size()) return HostFileRead{{}, HostFileRead::Problem::TooLarge};
        bytes.append(buffer, static_cast<size_t>(n));
    }
    return HostFileRead{std::move(bytes)};
}

}  // namespace

const std::string& deviceRoot() {
    // Never destroyed: the bus thread may still reconnect while the process exits.
    static const Immortal<std::string> root(computeRoot());
    return root.value;
}

std::string resolveDevicePath(std::string_view devicePath) {
    std::string path = deviceRoot();
    if (devicePath.empty() || devicePath.front() != '/') path += '/';
    path += devicePath;
    return path;
}

std::optional<std::string> readHostFile(const std::string& hostPath, std::size_t maxBytes, std::error_code* error) {
    HostFileRead read = readHostFileWithReason(hostPath, maxBytes);
    if (!read.bytes && error) {
        switch (read.problem) {
            case HostFileRead::Problem::NotRegularFile:
                *error = std::make_error_code(S_ISDIR(read.kind) ? std::errc::is_a_directory : std::errc::invalid_argument);
                break;
            case HostFileRead::Problem::TooLarge:
                *error = std::make_error_code(std::errc::file_too_large);
                break;
            default:
                *error = std::error_code(read.error, std::generic_category());
                break;
        }
    }
    return std::move(read.bytes);
}

HostFileRead readHostFileWithReason(const std::string& hostPath, std::size_t maxBytes) {
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a
    // writer. What the descriptor is decides whether it is read at all.
    const int fd = ::open(hostPath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return HostFileRead{{}, HostFileRead::Problem::CannotOpen, errno};
    HostFileRead read = readOpenFile(fd, maxBytes);
    ::close(fd);
    return read;
}

HostFileRead readHostFileInFolder(const std::string& folder, const std::string& name, std::size_t maxBytes) {
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0) return HostFileRead{{}, HostFileRead::Problem::FolderUnavailable, errno};
    const int fd = ::openat(folderFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    const int openError = errno;
    ::close(folderFd);
    if (fd < 0) return HostFileRead{{}, HostFileRead::Problem::CannotOpen, openError};
    HostFileRead read = readOpenFile(fd, maxBytes);
    ::close(fd);
    return read;
}

bool writeHostFileAtomically(const std::string& hostPath, std::string_view bytes, std::error_code* error) {
    // O_PATH: the folder is pinned, not read, so one the writer may write
    // into but not list (mode 0300) takes the file all the same.
    const int folderFd = ::open(folderOf(hostPath).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0) {
        if (error) *error = std::error_code(errno, std::generic_category());
        return false;
    }
    const auto slash = hostPath.rfind('/');
    const bool ok = replaceFileAt(folderFd, slash == std::string::npos ? hostPath : hostPath.substr(slash + 1),
                                  bytes, error);
    ::close(folderFd);
    return ok;
}

std::optional<PlistDictionary> dictionaryWithContentsOfFile(std::string_view devicePath, NSError* error) {
    std::error_code cause;
    auto bytes = readHostFile(resolveDevicePath(devicePath), kMaxPropertyListFileBytes, &cause);
    std::optional<PlistDictionary> dict;
    if (bytes) {
        dict = plistDictionaryFromBytes(*bytes);
        cause = std::make_error_code(std::errc::illegal_byte_sequence);
    }
    if (!dict && error) *error = NSError::fileReadError(cause, devicePath);
    return dict;
}

bool writeToFile(const PlistDictionary& dict, std::string_view devicePath, bool atomically, NSError* error) {
    const std::string xml = plistToXml(PlistValue(dict));
    const std::string hostPath = resolveDevicePath(devicePath);
    std::error_code cause = std::make_error_code(std::errc::invalid_argument);
    bool ok = false;
    if (!xml.empty()) {
        if (atomically) {
            ok = writeHostFileAtomically(hostPath, xml, &cause);
        } else {
            ok = writeInPlace(hostPath, xml);
            cause = std::error_code(errno, std::generic_category());
        }
    }
    if (ok) reportPlatformActivity(PlatformActivity::FileWritten, devicePath);
    if (!ok && error) *error = NSError::fileWriteError(cause, devicePath);
    return ok;
}
