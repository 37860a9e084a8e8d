// One launcher per device root: an exclusive lock (flock) on the file
// kLockFileName in the root, held for the launcher's life and holding its
// process id, so that a second launcher can name the one in its way. The
// lock goes with the process however it ends; the file stays.
#pragma once

#include <sys/types.h>

#include <string>

namespace zv::device {

inline constexpr const char* kLockFileName = ".zv-launcher.lock";

class DeviceRootLock {
public:
    // Takes the lock of the root (a folder that exists), creating the lock
    // file when missing. Check held() after construction.
    explicit DeviceRootLock(const std::string& hostRoot);
    ~DeviceRootLock();
    DeviceRootLock(const DeviceRootLock&) = delete;
    DeviceRootLock& operator=(const DeviceRootLock&) = delete;

    bool held() const { return held_; }
    // When not held: why, in one line (another launcher holds it, naming
    // its process, or the file could not be opened).
    const std::string& refusal() const { return refusal_; }

private:
    int fd_ = -1;
    bool held_ = false;
    std::string refusal_;
};

}  // namespace zv::device
