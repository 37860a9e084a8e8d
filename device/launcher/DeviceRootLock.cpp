#include "DeviceRootLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace zv::device {

namespace {

// The process id written in the lock file, 0 when there is none yet.
long writtenPid(int fd) {
    char text[32] = {};
    const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
    if (n <= 0) return 0;
    return std::strtol(text, nullptr, 10);
}

}  // namespace

DeviceRootLock::DeviceRootLock(const std::string& hostRoot) {
    const std::string path = hostRoot + "/" + kLockFileName;
    // Never through a symbolic link, never into a child process.
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd_ < 0) {
        refusal_ = "cannot open " + path + ": " + std::strerror(errno);
        return;
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK) {
            refusal_ = "cannot lock " + path + ": " + std::strerror(errno);
            return;
        }
        // The holder writes its id right after it takes the lock.
        long holder = writtenPid(fd_);
        for (int attempt = 0; holder == 0 && attempt < 50; ++attempt) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            holder = writtenPid(fd_);
        }
        refusal_ = "the device root " + hostRoot + " is in use by another launcher (process " +
                   (holder > 0 ? std::to_string(holder) : std::string("unknown")) + ")";
        return;
    }
    held_ = true;
    const std::string pid = std::to_string(::getpid()) + "\n";
    // Should this fail, the lock holds all the same; only the name for others is missing.
    [[maybe_unused]] const bool named =
        ::ftruncate(fd_, 0) == 0 && ::pwrite(fd_, pid.data(), pid.size(), 0) == static_cast<ssize_t>(pid.size());
}

DeviceRootLock::~DeviceRootLock() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace zv::device
