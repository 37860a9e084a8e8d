// The device filesystem. Device paths ("/var/mobile/Library/Preferences/...")
// resolve inside the device root, the folder that whoever starts the process
// names in the environment variable ZV_DEVICE_ROOT (the launcher, a test).
// Without it the root is "/" and device paths are host paths.
//
// Whole files are replaced atomically (AtomicReplace.h): a reader sees the
// old file or the new one, never a partial one; a failed write leaves the old
// file and no temporary file behind, and a successful one removes what
// writers that died left in its folder.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "foundation/NSError.h"
#include "foundation/plist/PropertyList.h"

// The device root as a host path, without a trailing slash ("" for "/").
const std::string& deviceRoot();
// The host path of a device path.
std::string resolveDevicePath(std::string_view devicePath);

// Whole-file read of a host path; empty when the file cannot be read.
// Only a regular file is read, directly or through a symlink: a FIFO, socket
// or device counts as unreadable at once, as does a file of more than
// maxBytes, which is refused before any byte of it is read. Opening and
// reading never wait for another process. On failure *error (when given)
// says why: the system's error, is_a_directory, invalid_argument (not a
// regular file) or file_too_large.
std::optional<std::string> readHostFile(const std::string& hostPath,
                                        std::size_t maxBytes = std::numeric_limits<std::size_t>::max(),
                                        std::error_code* error = nullptr);

// A whole-file read that says why it read nothing, for callers that tell a
// person or a peer: the same rules as readHostFile.
struct HostFileRead {
    enum class Problem {
        None,
        FolderUnavailable,  // readHostFileInFolder: the folder cannot be opened
        CannotOpen,         // `error` says why (ENOENT: no such file; ELOOP: a symlink not followed)
        NotRegularFile,     // `kind` is its st_mode
        TooLarge,           // more than maxBytes, by its size or while it was read
        CannotRead,         // `error` says why
    };
    std::optional<std::string> bytes;  // the whole file; empty with a problem
    Problem problem = Problem::None;
    int error = 0;    // errno, for CannotOpen, CannotRead and FolderUnavailable
    mode_t kind = 0;  // for NotRegularFile
};
HostFileRead readHostFileWithReason(const std::string& hostPath,
                                    std::size_t maxBytes = std::numeric_limits<std::size_t>::max());
// The file `name` (one path component) of the host folder `folder`, opened
// relative to the folder and never through a symlink (openat, O_NOFOLLOW).
HostFileRead readHostFileInFolder(const std::string& folder, const std::string& name,
                                  std::size_t maxBytes = std::numeric_limits<std::size_t>::max());
// Atomic whole-file replacement of a host path; false on any failure, with
// *error (when given) set to its cause.
bool writeHostFileAtomically(const std::string& hostPath, std::string_view bytes, std::error_code* error = nullptr);

// The largest property-list file read: a settings file is about 2 KB, so a
// larger file is no settings file, and reading it would only cost memory.
inline constexpr std::size_t kMaxPropertyListFileBytes = 16 * 1024 * 1024;

// Property-list files at device paths (the platform's
// dictionaryWithContentsOfFile: and writeToFile:atomically:). A file that is
// missing, not a regular file, larger than kMaxPropertyListFileBytes,
// unparseable (nested or sized beyond the codec's bounds included) or whose
// root is not a dictionary reads as empty; *error (when given) then says
// why, as Foundation's readFromURL:error: (NSError::fileReadError).
std::optional<PlistDictionary> dictionaryWithContentsOfFile(std::string_view devicePath, NSError* error = nullptr);
// Writes XML. With atomically false the file is written in place. On
// failure *error (when given) says why, as Foundation's writeToURL:error:.
bool writeToFile(const PlistDictionary& dict, std::string_view devicePath, bool atomically = true,
                 NSError* error = nullptr);
