// The error Foundation's file operations report (NSError): a domain, a code
// and the text shown to the user.
#pragma once

#include <string>
#include <string_view>
#include <system_error>

#include "foundation/NSObjCRuntime.h"

struct NSError {
    std::string domain;  // "NSCocoaErrorDomain"
    // removing: 4 no such file, 513 no permission, 512 other; listing: 260,
    // 257, 256; reading and saving a file: see fileReadError, fileWriteError
    NSInteger code = 0;
    std::string description;

    // The user-facing text, e.g.
    // "“net.quellit.zorvane_a.plist” couldn’t be removed because it doesn’t exist."
    const std::string& localizedDescription() const { return description; }

    // Foundation's error for a file that could not be saved at `path`, from
    // the system's cause: 640 out of space, 642 read-only volume, 513 no
    // permission, 4 no such folder, 514 an invalid file name, 512 other.
    static NSError fileWriteError(std::error_code cause, std::string_view path);
    // Foundation's error for a file that could not be read at `path`: 260 no
    // such file, 257 no permission, 263 too large, 259 not in the correct
    // format (cause illegal_byte_sequence: no property list, or one whose
    // root is no dictionary), 256 other.
    static NSError fileReadError(std::error_code cause, std::string_view path);
};
