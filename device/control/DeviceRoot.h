// The device root of a simulated device: the folder that stands for the
// phone's filesystem. Everything the device's processes load (the injection
// folder's libraries, the Settings bundle) and read (preferences, the bundle
// entries) lives in it, so it must be the person's own: a folder that
// another user owns or may write could hand them the person's processes.
// The launcher lays its root out with these, and so does the tool for the
// temporary device of `zorvane show`.
#pragma once

#include <string>

namespace zv::device {

// Where the launcher keeps the embedded default device, in the person's own
// state folder: $XDG_STATE_HOME/zorvane/device, or
// ~/.local/state/zorvane/device when XDG_STATE_HOME is unset or not an
// absolute path. Empty when neither that nor HOME gives a place.
std::string defaultDeviceRoot();

// Makes the root folder (mode 0700) and its missing parents when it does
// not exist. Returns an error text, empty on success.
std::string createDeviceRoot(const std::string& hostRoot);

// Why the folder at `hostPath` cannot be trusted, empty when it can: it
// must be a folder (not a symbolic link, which lstat shows), owned by the
// user running the launcher, that neither its group nor others may write.
std::string untrustedFolder(const std::string& hostPath);

// Checks every folder of the root on the way to what the processes load or
// read: the device folders the launcher lays out, every folder the staged
// deliverables (stageDir) go to, and each entry of the injection folder.
// Folders that do not exist yet are skipped (the launcher makes them).
// Returns why the root is refused, empty when it is not.
std::string untrustedDeviceRoot(const std::string& hostRoot, const std::string& stageDir);

// Lays out the folders of a fresh device (preferences, applications, the
// injection and preference-bundle folders) where they are missing, and
// installs the deliverables staged by the build (stageDir) at their device
// paths. A file that differs from its staged copy is never written over:
// the new copy is written beside it and renamed into its place, so a
// running process keeps the one it loaded. User files already in the root
// are kept. Returns an error text, empty on success.
std::string prepareDeviceRoot(const std::string& hostRoot, const std::string& stageDir);

}  // namespace zv::device
