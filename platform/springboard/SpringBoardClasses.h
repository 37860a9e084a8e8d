// The SpringBoard classes a SpringBoard host registers in the object
// runtime, with their default ("previous") behaviour (docs/host-classes.md):
// the application class SpringBoard, the status-bar state aggregator, the
// lock-screen manager, view and view controller, and the notification-centre
// view controller. Register the UIKit classes first: SpringBoard is a
// subclass of UIApplication.
//
// The objects live for the process; the host reaches them through the
// accessors below (null before registration), an injected library through
// the runtime.
#pragma once

#include <functional>
#include <string>

#include "runtime/Runtime.h"

void registerSpringBoardClasses();

// What -[SpringBoard _relaunchSpringBoardNow] does: the host decides (the
// simulated SpringBoard ends its process to be started again). Without a
// handler it does nothing.
void setSpringBoardRelaunchHandler(std::function<void()> handler);

// SBStatusBarStateAggregator, the one instance (+sharedInstance):
//   -_resetTimeItemFormatter   the Time item's formatter is made afresh
//   -_updateTimeItems          the Time item is rebuilt
//   -_setItem:(int32)enabled:(BOOL)  NO withdraws the item from the status
//        bar, YES rebuilds it
//   -updateStatusBarItem:(int32)     rebuilds the item (asking its questions
//        anew) when the host has data for it
// Each is recorded in the host trace; they act on the shared application's
// status bar.
struct SBStatusBarStateAggregator : objc_object {
    int timeFormatterResets = 0;
};
SBStatusBarStateAggregator* stateAggregator();

// SBLockScreenManager, the one instance (+sharedInstance): -isUILocked.
// Both are recorded in the host trace.
struct SBLockScreenManager : objc_object {
    bool locked = false;
};
SBLockScreenManager* lockScreenManager();

// SBLockScreenView: -setTopGrabberHidden:(BOOL)forRequester:(id) and
// -setBottomGrabberHidden:forRequester: keep the last value given.
struct GrabberState {
    bool hidden = false;
    std::string requester;  // the requester's class name, "nil" for none
    int calls = 0;
};
struct SBLockScreenView : objc_object {
    GrabberState top;
    GrabberState bottom;
};
SBLockScreenView* lockScreenView();

// SBLockScreenViewController: -shouldShowLockStatusBarTime answers NO (the
// lock screen shows its own large clock).
struct SBLockScreenViewController : objc_object {};
SBLockScreenViewController* lockScreenViewController();

// SBNotificationCenterViewController: -hostWillPresent sets `presented`,
// -hostWillDismiss sets `dismissing`, -hostDidDismiss clears both.
struct SBNotificationCenterViewController : objc_object {
    bool presented = false;
    bool dismissing = false;
};
SBNotificationCenterViewController* notificationCenterViewController();
