#include "DeviceInstall.h"

#include <filesystem>
#include <system_error>

namespace zv::test {

bool installDeliverables(const std::string& hostRoot) {
    std::error_code error;
    std::filesystem::copy(ZV_STAGE_DIR, hostRoot,
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing,
                          error);
    return !error;
}

}  // namespace zv::test
