// Where the simulated device's processes and folders are, as device paths:
// the argv[0] each process is started with (it decides what the process
// stands for) and the folders of the device root they share.
#pragma once

namespace zv::control {

inline constexpr const char* kSpringBoardPath = "/System/Library/CoreServices/SpringBoard.app/SpringBoard";
// The application the launcher starts beside SpringBoard.
inline constexpr const char* kAppPath = "/Applications/Notes.app/Notes";
// An application of no particular name, as a tool or a test starts one.
inline constexpr const char* kSomeAppPath = "/Applications/Some.app/Some";
inline constexpr const char* kSettingsAppPath = "/Applications/Preferences.app/Preferences";

// The preferences folder: settings and profile files.
inline constexpr const char* kPreferencesFolder = "/var/mobile/Library/Preferences";

}  // namespace zv::control
