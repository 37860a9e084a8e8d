// Keys, file names and notification names of the settings file that the
// Settings bundle writes and the plug-in reads. Both deliverables use these
// and nothing else to meet.
#pragma once

#include <array>

namespace zv {

inline constexpr const char* kSettingsIdentifier = "net.quellit.zorvane";
inline constexpr const char* kSettingsPath = "/var/mobile/Library/Preferences/net.quellit.zorvane.plist";
inline constexpr const char* kPreviousGenerationPath = "/var/mobile/Library/Preferences/net.quellit.zorvel.plist";
inline constexpr const char* kPreferencesFolder = "/var/mobile/Library/Preferences/";

// Notifications.
inline constexpr const char* kPreferencesNotification = "net.quellit.zorvane/preferences";
inline constexpr const char* kReloadStatusBarNotification = "net.quellit.zorvane/reloadStatusBar";
inline constexpr const char* kRespringNotification = "net.quellit.zorvane/respring";
inline constexpr const char* kPluggedInNotification = "com.apple.springboard.pluggedin";

// The eight switches.
inline constexpr const char* kEnabled = "enabled";
inline constexpr const char* kEnableLockScreenTime = "enableLockScreenTime";
inline constexpr const char* kHideBattery = "hideBattery";
inline constexpr const char* kBluetoothConnectedOnly = "bluetoothConnectedOnly";
inline constexpr const char* kHideTopGrabberLS = "hideTopGrabberLS";
inline constexpr const char* kHideBottomGrabberLS = "hideBottomGrabberLS";
inline constexpr const char* kShortBreadcrumb = "shortBreadcrumb";
inline constexpr const char* kIsBreadcrumbExclusive = "isBreadcrumbExclusive";

// Layout.
inline constexpr const char* kSchemaVersion = "schemaVersion";
inline constexpr const char* kLeft = "left";
inline constexpr const char* kCenter = "center";
inline constexpr const char* kRight = "right";
inline constexpr const char* kHidden = "hidden";
inline constexpr const char* kDefault = "default";
inline constexpr const char* kData = "data";  // the list inside a region record

// Profiles and stamps.
inline constexpr const char* kProfileName = "profileName";
inline constexpr const char* kProfileSaved = "profileSaved";
inline constexpr const char* kLastModified = "lastModified";

// Every top-level key a settings file may hold.
inline constexpr std::array<const char*, 17> kSettingsFileKeys{
    kEnabled,  kEnableLockScreenTime, kHideBattery, kBluetoothConnectedOnly, kHideTopGrabberLS, kHideBottomGrabberLS,
    kShortBreadcrumb, kIsBreadcrumbExclusive, kSchemaVersion, kLeft, kCenter, kRight, kHidden, kDefault,
    kProfileName, kProfileSaved, kLastModified,
};

inline constexpr const char* kSchema10 = "1.0";
inline constexpr const char* kSchema11 = "1.1";
inline constexpr const char* kCurrentSchema = "1.2";

}  // namespace zv
