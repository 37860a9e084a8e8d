// The plug-in's one load-time initialiser: runs when the injection framework
// loads the library into a process, before the host asks its status bar
// anything.
#include "HostTest.h"
#include "SettingsKeys.h"
#include "foundation/ProcessInfo.h"
#include "hooks/HookTable.h"
#include "hooks/HostServices.h"
#include "hooks/PluginState.h"
#include "notifications/NotificationCenter.h"
#include "runtime/Runtime.h"
#include "uikit/AutoreleasePool.h"

namespace zv {

namespace {

void startInStatusBarHost() {
    CFNotificationCenterRef darwin = CFNotificationCenterGetDarwinNotifyCenter();
    CFNotificationCenterAddObserver(darwin, nullptr, settingsChanged, kPreferencesNotification, nullptr,
                                    CFNotificationSuspensionBehaviorCoalesce);
    CFNotificationCenterAddObserver(darwin, nullptr, reloadStatusBar, kReloadStatusBarNotification, nullptr, 0);
    CFNotificationCenterAddObserver(darwin, nullptr, pluggedInChanged, kPluggedInNotification, nullptr,
                                    CFNotificationSuspensionBehaviorCoalesce);
    // Loading comes before any hook, so the first question the status bar
    // asks already sees the user's settings.
    loadSettings();
    hooks::installHookRows(1, hooks::kLastStatusBarRow);
}

void startInSpringBoard() {
    hooks::installHookRows(hooks::kLastStatusBarRow + 1, hooks::kHookRowCount);
    NSDistributedNotificationCenter::defaultCenter().addObserverForName(
        kRespringNotification, nullptr, NSOperationQueue::mainQueue(),
        [](const NSNotification&) { host::relaunchSpringBoardNow(); });
}

__attribute__((constructor)) void zorvaneInitialise() {
    const platform::AutoreleaseScope scope;
    if (isStatusBarHost(processArguments())) startInStatusBarHost();
    // Also outside status-bar hosts: the SpringBoard rows follow the class alone.
    if (objc_getClass("SpringBoard")) startInSpringBoard();
}

}  // namespace

}  // namespace zv
