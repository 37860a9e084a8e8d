#include "InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "foundation/plist/PlistCodec.h"
#include "foundation/plist/PlistShape.h"
#include "LoadDiagnostics.h"
#include "Wording.h"

namespace zv::tools {

namespace {

// Closes the descriptor when it goes.
struct FileDescriptor {
    int fd = -1;
    ~FileDescriptor() {
        if (fd >= 0) ::close(fd);
    }
};

const char* fileKind(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    return "not a regular file";
}

std::string tooLarge() { return "larger than 16 MiB, not read"; }

// Reads at most kMaxInputFileSize + 1 bytes, so a file that grows after the
// size check is still caught.
std::optional<std::string> readAll(int fd, std::string& problem) {
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            problem = std::string("cannot be read: ") + std::strerror(errno);
            return std::nullopt;
        }
        if (n == 0) return bytes;
        bytes.append(buffer, static_cast<std::size_t>(n));
        if (bytes.size() > kMaxInputFileSize) {
            problem = tooLarge();
            return std::nullopt;
        }
    }
}

}  // namespace

InputFile readInputFile(const std::string& path) {
    InputFile input;
    // O_NONBLOCK: opening a FIFO must not wait for a writer.
    FileDescriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    if (file.fd < 0) {
        input.problem = errno == ENOENT ? "no such file" : std::string("cannot be opened: ") + std::strerror(errno);
        return input;
    }
    struct stat status {};
    if (::fstat(file.fd, &status) != 0) {
        input.problem = std::string("cannot be read: ") + std::strerror(errno);
        return input;
    }
    if (!S_ISREG(status.st_mode)) {
        input.problem = std::string("is ") + fileKind(status.st_mode) + ", not a settings file";
        return input;
    }
    if (static_cast<std::uintmax_t>(status.st_size) > kMaxInputFileSize) {
        input.problem = tooLarge();
        return input;
    }
    auto bytes = readAll(file.fd, input.problem);
    if (!bytes) return input;
    return inputFileFromBytes(std::move(*bytes));
}

InputFile inputFileFromBytes(std::string bytes) {
    InputFile input;
    input.bytes = std::move(bytes);
    if (input.bytes.empty()) {
        input.problem = "is empty, not a property list";
        return input;
    }
    // The platform's reader measures the bytes before libplist walks them and
    // reads nothing beyond its bounds; ask it first, so that such a file is
    // named for what it is and not as "not a property list".
    const bool binary = std::string_view(input.bytes).starts_with("bplist00");
    if (!(binary ? measureBinaryPlist(input.bytes) : measureXmlPlist(input.bytes))) {
        input.problem = "nests deeper than " + std::to_string(kMaxPlistDepth) + " levels, holds more than " +
                        std::to_string(kMaxPlistObjects) + " values, or is broken; not read";
        return input;
    }
    std::optional<PlistValue> root = plistFromBytes(input.bytes, &input.droppedKeys);
    if (!root) {
        input.problem = "is not a property list (XML or binary)";
        return input;
    }
    if (PlistDictionary* dictionary = root->dictionary()) {
        input.settings = std::move(*dictionary);
    } else {
        input.problem = "holds " + typePhrase(plistTypeName(*root)) + " at its top level, not a dictionary";
    }
    return input;
}

}  // namespace zv::tools
