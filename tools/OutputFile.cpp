#include "OutputFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "InputFile.h"
#include "foundation/DeviceFiles.h"

namespace zv::tools {

namespace {

// Symlinks followed in a row before a path counts as a loop, as the kernel counts.
constexpr int kMaxSymlinks = 40;

}  // namespace

OutputFile resolveOutputFile(const std::string& path) {
    if (path == "-") return {path, {}};
    std::filesystem::path current = path;
    for (int hops = 0; hops <= kMaxSymlinks; ++hops) {
        struct stat status {};
        if (::lstat(current.c_str(), &status) != 0) {
            if (errno == ENOENT) return {current.string(), {}};  // made by the write
            return {current.string(), std::string("cannot be written: ") + std::strerror(errno)};
        }
        if (S_ISREG(status.st_mode)) return {current.string(), {}};
        if (!S_ISLNK(status.st_mode))
            return {current.string(), std::string("is ") + fileKind(status.st_mode) + ", not written"};
        std::error_code error;
        const std::filesystem::path target = std::filesystem::read_symlink(current, error);
        if (error) return {current.string(), "cannot be written: " + error.message()};
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return {path, "cannot be written: too many levels of symbolic links"};
}

bool writeOutputFile(const OutputFile& file, std::string_view bytes, std::string& problem) {
    if (file.path == "-") {
        std::size_t written = 0;
        while (written < bytes.size()) {
            const ssize_t n = ::write(STDOUT_FILENO, bytes.data() + written, bytes.size() - written);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                problem = std::string("cannot write to standard output: ") + std::strerror(errno);
                return false;
            }
            written += static_cast<std::size_t>(n);
        }
        return true;
    }
    // Resolved again: what is at the path may have changed since it was asked.
    const OutputFile now = resolveOutputFile(file.path);
    if (!now.problem.empty()) {
        problem = now.problem;
        return false;
    }
    std::error_code error;
    if (!writeHostFileAtomically(now.path, bytes, &error)) {
        problem = "cannot be written: " + (error ? error.message() : std::string("unknown error"));
        return false;
    }
    return true;
}

}  // namespace zv::tools
