// The plug-in's process-wide records: the settings of the last load and the
// run-time values the rules share. All of them are read and written on the
// host's main thread only.
#pragma once

#include <cstdint>

#include "PluginSettings.h"
#include "notifications/NotificationCenter.h"

#define ZV_EXPORT __attribute__((visibility("default")))

namespace zv {

// Replaced whole by every load.
PluginSettings& pluginSettings();

// Set while the notification centre is shown (with the lock-screen time
// rule in force); read by the region rule for the Time item.
extern bool isNotificationCenterPresented;
// Battery state of the last battery-percentage data update; 0 when not on
// external power and before the first update.
extern std::int32_t lastBatteryState;

// Reads the settings file into pluginSettings().
void loadSettings();

// Darwin notification handlers.
void settingsChanged(CFNotificationCenterRef, void*, CFStringRef, const void*, CFDictionaryRef);
void pluggedInChanged(CFNotificationCenterRef, void*, CFStringRef, const void*, CFDictionaryRef);

}  // namespace zv

extern "C" {
// 1 while a status-bar reload runs.
ZV_EXPORT extern unsigned char isReloading;
// Makes the host rebuild its status-bar items. Has the shape of a Darwin
// notification callback and uses none of its arguments.
ZV_EXPORT void reloadStatusBar(CFNotificationCenterRef center, void* observer, CFStringRef name,
                               const void* object, CFDictionaryRef userInfo);
}
