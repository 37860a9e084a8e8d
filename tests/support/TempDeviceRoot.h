// A fresh, empty device root for one test: a folder made with mkdtemp under
// /tmp (short on purpose: the bus socket inside must fit a unix socket
// path), removed with everything in it when the object goes.
#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace zv::test {

class TempDeviceRoot {
public:
    // Throws std::runtime_error when the folder cannot be made.
    TempDeviceRoot();
    ~TempDeviceRoot();
    TempDeviceRoot(TempDeviceRoot&& other) noexcept : path_(std::exchange(other.path_, {})) {}
    TempDeviceRoot& operator=(TempDeviceRoot&& other) noexcept;
    TempDeviceRoot(const TempDeviceRoot&) = delete;
    TempDeviceRoot& operator=(const TempDeviceRoot&) = delete;

    // The root as a host path, without a trailing slash.
    const std::string& path() const { return path_; }
    // The host path of a device path inside this root.
    std::string hostPath(std::string_view devicePath) const;

private:
    std::string path_;
};

}  // namespace zv::test
