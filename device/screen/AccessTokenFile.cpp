#include "AccessTokenFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "ScreenAccess.h"

namespace zv::screen {

namespace {

constexpr const char* kFolder = "/.launcher";
constexpr const char* kFile = "screen-token";
constexpr std::size_t kTokenLength = 64;

bool ownedPrivately(const struct stat& st, mode_t type) {
    return (st.st_mode & S_IFMT) == type && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// The person's own private folder, opened (created when missing); -1 when
// it is not safe to keep a secret in.
int openPrivateFolder(const std::string& root) {
    const std::string folder = root + kFolder;
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return -1;
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat st {};
    if (fd >= 0 && ::fstat(fd, &st) == 0 && ownedPrivately(st, S_IFDIR)) return fd;
    if (fd >= 0) ::close(fd);
    return -1;
}

std::string readToken(int folder) {
    const Descriptor file(::openat(folder, kFile, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (file.get() < 0 || ::fstat(file.get(), &st) != 0 || !ownedPrivately(st, S_IFREG)) return {};
    char text[kTokenLength + 1];
    const ssize_t n = ::read(file.get(), text, sizeof text);
    if (n != static_cast<ssize_t>(kTokenLength)) return {};
    const std::string token(text, kTokenLength);
    const bool hex = std::all_of(token.begin(), token.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
    });
    return hex ? token : std::string();
}

// Written under a new name (created, never opened through a link) and
// renamed over the old file, so a reader sees a whole token or none.
void keepToken(int folder, const std::string& token) {
    const std::string fresh = std::string(kFile) + ".new";
    ::unlinkat(folder, fresh.c_str(), 0);
    const Descriptor file(::openat(folder, fresh.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (file.get() < 0) return;
    const bool written = ::write(file.get(), token.data(), token.size()) == static_cast<ssize_t>(token.size()) &&
                         ::fsync(file.get()) == 0;
    if (!written || ::renameat(folder, fresh.c_str(), folder, kFile) != 0) ::unlinkat(folder, fresh.c_str(), 0);
}

}  // namespace

std::string keptAccessToken(const std::string& root) {
    const Descriptor folder(openPrivateFolder(root));
    if (folder.get() < 0) return makeAccessToken();
    if (std::string token = readToken(folder.get()); !token.empty()) return token;
    std::string token = makeAccessToken();
    keepToken(folder.get(), token);
    return token;
}

}  // namespace zv::screen
