#include "foundation/AtomicReplace.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

namespace {

constexpr std::string_view kTemporaryPrefix = ".zv-";
constexpr std::size_t kRandomLength = 6;
constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr int kNameAttempts = 100;

std::error_code lastError() { return std::error_code(errno, std::generic_category()); }

bool fail(std::error_code* error, std::error_code cause) {
    if (error) *error = cause;
    return false;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool lock(int fd, int operation) {
    while (::flock(fd, operation) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

// Whether `name` in the folder is still the file open as fd.
bool nameRefersTo(int folderFd, const std::string& name, int fd) {
    struct stat open {}, named {};
    return ::fstat(fd, &open) == 0 && ::fstatat(folderFd, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

std::string randomTemporaryName() {
    unsigned char random[kRandomLength];
    std::size_t filled = 0;
    while (filled < sizeof random) {
        const ssize_t n = ::getrandom(random + filled, sizeof random - filled, 0);
        if (n > 0) filled += static_cast<std::size_t>(n);
        else if (errno != EINTR) return {};
    }
    std::string name(kTemporaryPrefix);
    for (unsigned char r : random) name += kAlphabet[r % kAlphabet.size()];
    return name;
}

// A new temporary file of the folder, open for writing and locked. The lock
// is taken after the file is made, so a cleaner may have removed the file in
// between: the name is checked again once the lock is held.
int createTemporaryFile(int folderFd, std::string& name, std::error_code* error) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        name = randomTemporaryName();
        if (name.empty()) {
            fail(error, lastError());
            return -1;
        }
        const int fd = ::openat(folderFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            fail(error, lastError());
            return -1;
        }
        // A filesystem without locks leaves the file unlocked; cleaners there
        // cannot lock it either, so they leave it alone.
        lock(fd, LOCK_EX);
        if (nameRefersTo(folderFd, name, fd)) return fd;
        ::close(fd);
    }
    fail(error, std::make_error_code(std::errc::file_exists));
    return -1;
}

void removeIfStale(int folderFd, const std::string& name) {
    const int fd = ::openat(folderFd, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return;
    struct stat st {};
    // Holding the lock means no writer holds it: its writer is gone (or has
    // just renamed it away, which the name check below sees).
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && lock(fd, LOCK_EX | LOCK_NB) &&
        nameRefersTo(folderFd, name, fd))
        ::unlinkat(folderFd, name.c_str(), 0);
    ::close(fd);
}

}  // namespace

bool isAtomicReplaceTemporaryName(std::string_view name) {
    if (name.size() != kTemporaryPrefix.size() + kRandomLength || !name.starts_with(kTemporaryPrefix)) return false;
    return name.substr(kTemporaryPrefix.size()).find_first_not_of(kAlphabet) == std::string_view::npos;
}

void removeStaleTemporaryFiles(int folderFd) {
    const int listFd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0) return;
    DIR* folder = ::fdopendir(listFd);
    if (!folder) {
        ::close(listFd);
        return;
    }
    std::vector<std::string> candidates;
    while (const dirent* entry = ::readdir(folder)) {
        if (isAtomicReplaceTemporaryName(entry->d_name)) candidates.emplace_back(entry->d_name);
    }
    ::closedir(folder);
    for (const std::string& name : candidates) removeIfStale(folderFd, name);
}

bool replaceFileAt(int folderFd, std::string_view name, std::string_view bytes, std::error_code* error) {
    const std::string target(name);
    if (target.empty() || target == "." || target == ".." || target.find('/') != std::string::npos)
        return fail(error, std::make_error_code(std::errc::invalid_argument));
    std::string temporary;
    const int fd = createTemporaryFile(folderFd, temporary, error);
    if (fd < 0) return false;
    bool ok = ::fchmod(fd, 0644) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    if (ok) ok = ::renameat(folderFd, temporary.c_str(), folderFd, target.c_str()) == 0;
    if (!ok) {
        const std::error_code cause = lastError();
        ::unlinkat(folderFd, temporary.c_str(), 0);
        ::close(fd);
        return fail(error, cause);
    }
    // Closing releases the lock, after the rename: until then the file is a
    // live writer's.
    ::close(fd);
    // The rename is durable only once the folder itself is synced. The
    // folder may be pinned by path only (O_PATH, which cannot be synced), and
    // a folder the writer may not read cannot be opened to sync it: the
    // rename then stands as the filesystem keeps it.
    if (::fsync(folderFd) != 0 && errno == EBADF) {
        const int syncFd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (syncFd >= 0) {
            ::fsync(syncFd);
            ::close(syncFd);
        }
    }
    removeStaleTemporaryFiles(folderFd);
    return true;
}
