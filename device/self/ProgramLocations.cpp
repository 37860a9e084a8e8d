#include "ProgramLocations.h"

#include <filesystem>

namespace zv {

namespace {

namespace fs = std::filesystem;

// ZV_INSTALLED_PROGRAMS and ZV_INSTALLED_PAGE are relative to the installed
// programs' folder; ZV_BUILD_TREE_PAGE is the page in the source folder.
ProgramLocations programLocations(const std::string& programFolder) {
    const fs::path self(programFolder);
    const fs::path installedPrograms = (self / ZV_INSTALLED_PROGRAMS).lexically_normal();
    std::error_code error;
    if (fs::is_directory(installedPrograms / "stage", error))
        return {installedPrograms.string(), (installedPrograms / "stage").string(),
                (self / ZV_INSTALLED_PAGE).lexically_normal().string()};
    return {self.string(), (self / ".." / "stage").lexically_normal().string(), ZV_BUILD_TREE_PAGE};
}

}  // namespace

ProgramLocations currentProgramLocations() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return programLocations(error ? std::string(".") : self.parent_path().string());
}

}  // namespace zv
