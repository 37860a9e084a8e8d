#include "PreferencesDownload.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "ProfileListing.h"

namespace zv::screen {

namespace {

constexpr std::string_view kSettingsFile = "net.quellit.zorvane.plist";

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

std::optional<std::string> downloadName(std::string_view name, DownloadRefusal& refusal) {
    // Exactly what the Profiles page lists (and the settings file).
    if (name != kSettingsFile && !isProfileFileName(name)) {
        refusal = {403, "Forbidden: only the settings file or a profile file of the preferences folder"};
        return std::nullopt;
    }
    refusal = {};
    return std::string(name);
}

std::optional<std::string> readPreferencesFile(const std::string& folder, const std::string& name,
                                               DownloadRefusal& refusal) {
    const FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() < 0) {
        refusal = {404, "Not found"};
        return std::nullopt;
    }
    // O_NOFOLLOW: a symlink named like a profile file is refused, never followed.
    const FileDescriptor file(::openat(directory.get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) {
        refusal = errno == ENOENT ? DownloadRefusal{404, "Not found"}
                                  : DownloadRefusal{403, "Forbidden: not a plain file of the preferences folder"};
        return std::nullopt;
    }
    struct stat st {};
    if (::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        refusal = {403, "Forbidden: not a plain file of the preferences folder"};
        return std::nullopt;
    }
    std::string bytes;
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(file.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 || bytes.size() + static_cast<std::size_t>(n) > kMaxDownloadBytes) {
            refusal = {403, "Forbidden: the file cannot be read whole"};
            return std::nullopt;
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    refusal = {};
    return bytes;
}

}  // namespace zv::screen
