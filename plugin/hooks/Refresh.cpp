// The status-bar reload and the battery refresh.
#include "hooks/PluginState.h"

namespace zv {

void pluggedInChanged(CFNotificationCenterRef, void*, CFStringRef, const void*, CFDictionaryRef) {}

}  // namespace zv

extern "C" ZV_EXPORT void reloadStatusBar(CFNotificationCenterRef, void*, CFStringRef, const void*, CFDictionaryRef) {
    if (isReloading) return;
    isReloading = 1;
    isReloading = 0;
}
