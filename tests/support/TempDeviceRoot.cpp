#include "TempDeviceRoot.h"

#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace zv::test {

namespace {

void removeTree(const std::string& path) {
    if (path.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

}  // namespace

TempDeviceRoot::TempDeviceRoot() {
    char pattern[] = "/tmp/zv-root-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        throw std::runtime_error(std::string("TempDeviceRoot: mkdtemp: ") + std::strerror(errno));
    }
    path_ = pattern;
}

TempDeviceRoot::~TempDeviceRoot() { removeTree(path_); }

TempDeviceRoot& TempDeviceRoot::operator=(TempDeviceRoot&& other) noexcept {
    if (this != &other) {
        removeTree(path_);
        path_ = std::exchange(other.path_, {});
    }
    return *this;
}

std::string TempDeviceRoot::hostPath(std::string_view devicePath) const {
    std::string host = path_;
    if (!devicePath.empty() && devicePath.front() != '/') host += '/';
    host += devicePath;
    return host;
}

}  // namespace zv::test
