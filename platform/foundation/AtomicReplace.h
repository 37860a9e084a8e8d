// Atomic replacement of one file of a folder: the bytes go to a temporary
// file in the same folder, which is synced and renamed over the target, and
// the folder is synced. A reader sees the old file or the new one, never a
// partial one; a failed write leaves the old file and no temporary file.
//
// Temporary files are named ".zv-" and six random letters or digits: ten
// bytes, so a temporary name fits wherever the target's name fits. A writer
// holds an exclusive lock (flock) on its temporary file from the moment it
// has made sure the name is still its own until the file is renamed; a
// temporary file of this naming that no process holds locked was left by a
// writer that died (a SIGKILL during a save). Every successful replacement
// removes such files from its folder, and only those: a live writer's
// temporary file is never touched.
//
// The folder is reached through an open descriptor, and the target's name is
// one path component, so nothing on the way is resolved again after the
// folder was opened; a symlink in the target's place is replaced, never
// followed.
#pragma once

#include <string_view>
#include <system_error>

// Replaces the file `name` (one path component) of the folder open as
// folderFd with `bytes`. The folder may be open by path only (O_PATH): the
// writer needs to write into it and pass through it, not to list it. False
// on any failure, with *error (when given) set to its cause.
bool replaceFileAt(int folderFd, std::string_view name, std::string_view bytes, std::error_code* error = nullptr);

// Whether a file name is of the temporary files' naming.
bool isAtomicReplaceTemporaryName(std::string_view name);

// Removes the temporary files of the folder that no live writer holds.
void removeStaleTemporaryFiles(int folderFd);
