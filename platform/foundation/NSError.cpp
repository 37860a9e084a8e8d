#include "foundation/NSError.h"

#include <cerrno>

#include "foundation/NSPathUtilities.h"

namespace {

std::string quoted(std::string_view text) { return "\u201c" + std::string(text) + "\u201d"; }

std::string folderOf(std::string_view path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string_view::npos ? std::string() : lastPathComponent(path.substr(0, slash));
}

}  // namespace

NSError NSError::fileWriteError(std::error_code cause, std::string_view path) {
    const std::string file = quoted(lastPathComponent(path));
    const std::string folder = quoted(folderOf(path));
    if (cause == std::errc::no_space_on_device || cause.value() == EDQUOT)
        return {"NSCocoaErrorDomain", 640, "The file " + file + " couldn\u2019t be saved because there isn\u2019t enough space."};
    if (cause == std::errc::read_only_file_system)
        return {"NSCocoaErrorDomain", 642, "The file " + file + " couldn\u2019t be saved because the volume is read only."};
    if (cause == std::errc::permission_denied || cause == std::errc::operation_not_permitted)
        return {"NSCocoaErrorDomain", 513,
                "You don\u2019t have permission to save the file " + file + " in the folder " + folder + "."};
    if (cause == std::errc::no_such_file_or_directory || cause == std::errc::not_a_directory)
        return {"NSCocoaErrorDomain", 4, "The folder " + folder + " doesn\u2019t exist."};
    if (cause == std::errc::filename_too_long || cause == std::errc::invalid_argument)
        return {"NSCocoaErrorDomain", 514, "The file name " + file + " is invalid."};
    return {"NSCocoaErrorDomain", 512, "The file " + file + " couldn\u2019t be saved."};
}

NSError NSError::fileReadError(std::error_code cause, std::string_view path) {
    const std::string subject = "The file " + quoted(lastPathComponent(path)) + " couldn\u2019t be opened";
    if (cause == std::errc::no_such_file_or_directory || cause == std::errc::not_a_directory)
        return {"NSCocoaErrorDomain", 260, subject + " because there is no such file."};
    if (cause == std::errc::permission_denied || cause == std::errc::operation_not_permitted)
        return {"NSCocoaErrorDomain", 257, subject + " because you don\u2019t have permission to view it."};
    if (cause == std::errc::file_too_large)
        return {"NSCocoaErrorDomain", 263, subject + " because it is too large."};
    if (cause == std::errc::illegal_byte_sequence)
        return {"NSCocoaErrorDomain", 259, subject + " because it isn\u2019t in the correct format."};
    return {"NSCocoaErrorDomain", 256, subject + "."};
}
