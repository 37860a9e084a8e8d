#include "InputFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "foundation/DeviceFiles.h"
#include "foundation/plist/PlistCodec.h"
#include "foundation/plist/PlistShape.h"
#include "LoadDiagnostics.h"
#include "Wording.h"

namespace zv::tools {

namespace {


std::string tooLarge() { return "larger than 16 MiB, not read"; }

}  // namespace

const char* fileKind(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    return "not a regular file";
}

InputFile readInputFile(const std::string& path) {
    InputFile input;
    // Opening a FIFO does not wait for a writer; only a regular file is read.
    HostFileRead file = readHostFileWithReason(path, kMaxPropertyListFileBytes);
    switch (file.problem) {
        case HostFileRead::Problem::None:
            break;
        case HostFileRead::Problem::FolderUnavailable:
        case HostFileRead::Problem::CannotOpen:
            input.problem = file.error == ENOENT ? "no such file"
                                                 : std::string("cannot be opened: ") + std::strerror(file.error);
            return input;
        case HostFileRead::Problem::NotRegularFile:
            input.problem = std::string("is ") + fileKind(file.kind) + ", not a settings file";
            return input;
        case HostFileRead::Problem::TooLarge:
            input.problem = tooLarge();
            return input;
        case HostFileRead::Problem::CannotRead:
            input.problem = std::string("cannot be read: ") + std::strerror(file.error);
            return input;
    }
    return inputFileFromBytes(std::move(*file.bytes));
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
