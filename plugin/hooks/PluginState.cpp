#include "hooks/PluginState.h"

#include "SettingsLoader.h"

namespace zv {

PluginSettings& pluginSettings() {
    static PluginSettings settings;
    return settings;
}

bool isNotificationCenterPresented = false;
std::int32_t lastBatteryState = 0;

void loadSettings() { loadSettingsInto(pluginSettings()); }

void settingsChanged(CFNotificationCenterRef, void*, CFStringRef, const void*, CFDictionaryRef) { loadSettings(); }

}  // namespace zv

extern "C" {
ZV_EXPORT unsigned char isReloading = 0;
}
