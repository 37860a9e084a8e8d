// settings_writer: a peer process standing for the Settings side saving the
// user's settings. It replaces the device's settings file atomically with the
// bytes of SOURCE (a host path), then posts the Darwin notifications
// "net.quellit.zorvane/preferences" and "net.quellit.zorvane/reloadStatusBar",
// in this order, on the device's bus (root from ZV_DEVICE_ROOT).
//
//   settings_writer SOURCE
//
// Exit status 0 when written and posted, 1 when the source cannot be read,
// the file cannot be written or there is no bus, 2 for bad usage.
#include <chrono>
#include <cstdio>

#include "foundation/DeviceFiles.h"
#include "notifications/NotificationCenter.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: settings_writer SOURCE\n");
        return 2;
    }
    const auto bytes = readHostFile(argv[1]);
    if (!bytes) return 1;
    constexpr std::chrono::seconds kPatience{10};
    if (!waitForNotificationBus(kPatience)) return 1;
    if (!writeHostFileAtomically(resolveDevicePath("/var/mobile/Library/Preferences/net.quellit.zorvane.plist"), *bytes))
        return 1;
    CFNotificationCenterRef darwin = CFNotificationCenterGetDarwinNotifyCenter();
    CFNotificationCenterPostNotification(darwin, "net.quellit.zorvane/preferences", nullptr, nullptr, true);
    if (!waitForNotificationBus(kPatience)) return 1;
    CFNotificationCenterPostNotification(darwin, "net.quellit.zorvane/reloadStatusBar", nullptr, nullptr, true);
    return waitForNotificationBus(kPatience) ? 0 : 1;
}
