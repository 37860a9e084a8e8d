#include "springboard/SpringBoardClasses.h"

#include <memory>

#include "runtime/ClassDefinition.h"
#include "uikit/HostTrace.h"
#include "uikit/UIApplication.h"

using namespace zv::platform;

namespace {

struct SpringBoardObjects {
    std::unique_ptr<SBStatusBarStateAggregator> aggregator;
    std::unique_ptr<SBLockScreenManager> lockScreenManager;
    std::unique_ptr<SBLockScreenView> lockScreenView;
    std::unique_ptr<SBLockScreenViewController> lockScreenViewController;
    std::unique_ptr<SBNotificationCenterViewController> notificationCenter;
    std::function<void()> relaunch;
};

SpringBoardObjects& objects() {
    static SpringBoardObjects o;
    return o;
}

UIStatusBar* statusBar() {
    UIApplication* application = sharedApplicationObject();
    return application ? application->statusBar.get() : nullptr;
}

// SpringBoard.
void relaunchSpringBoardNow(id self, SEL cmd) {
    recordHostCall(self, cmd);
    if (objects().relaunch) objects().relaunch();
}

// SBStatusBarStateAggregator.
id aggregatorSharedInstance(id self, SEL cmd) {
    recordHostCall(self, cmd);
    return objects().aggregator.get();
}

void resetTimeItemFormatter(id self, SEL cmd) {
    recordHostCall(self, cmd);
    ++asHostObject<SBStatusBarStateAggregator>(self).timeFormatterResets;
}

void updateTimeItems(id self, SEL cmd) {
    recordHostCall(self, cmd);
    if (UIStatusBar* bar = statusBar()) bar->rebuildItem(0);
}

void setItemEnabled(id self, SEL cmd, std::int32_t type, bool enabled) {
    recordHostCall(self, cmd, {TraceArgument::integer(type), TraceArgument::boolean(enabled)});
    UIStatusBar* bar = statusBar();
    if (!bar) return;
    if (enabled)
        bar->rebuildItem(type);
    else
        bar->withdrawItem(type);
}

void updateStatusBarItem(id self, SEL cmd, std::int32_t type) {
    recordHostCall(self, cmd, {TraceArgument::integer(type)});
    if (UIStatusBar* bar = statusBar()) bar->rebuildItem(type);
}

// SBLockScreenManager.
id lockScreenManagerSharedInstance(id self, SEL cmd) {
    recordHostCall(self, cmd);
    return objects().lockScreenManager.get();
}

bool isUILocked(id self, SEL cmd) {
    recordHostCall(self, cmd);
    return asHostObject<SBLockScreenManager>(self).locked;
}

// SBLockScreenView.
void setGrabber(GrabberState& grabber, bool hidden, id requester) {
    grabber.hidden = hidden;
    Class cls = object_getClass(requester);
    grabber.requester = cls ? class_getName(cls) : "nil";
    ++grabber.calls;
}

void setTopGrabberHidden(id self, SEL, bool hidden, id requester) {
    setGrabber(asHostObject<SBLockScreenView>(self).top, hidden, requester);
}

void setBottomGrabberHidden(id self, SEL, bool hidden, id requester) {
    setGrabber(asHostObject<SBLockScreenView>(self).bottom, hidden, requester);
}

// SBLockScreenViewController.
bool shouldShowLockStatusBarTime(id, SEL) { return false; }

// SBNotificationCenterViewController.
SBNotificationCenterViewController& controller(id self) {
    return asHostObject<SBNotificationCenterViewController>(self);
}
void hostWillPresent(id self, SEL) { controller(self).presented = true; }
void hostWillDismiss(id self, SEL) { controller(self).dismissing = true; }
void hostDidDismiss(id self, SEL) {
    controller(self).presented = false;
    controller(self).dismissing = false;
}

}  // namespace

void registerSpringBoardClasses() {
    Class springBoard = defineClass("SpringBoard", objc_getClass("UIApplication"));
    addMethod(springBoard, "_relaunchSpringBoardNow", &relaunchSpringBoardNow);

    Class aggregator = defineClass("SBStatusBarStateAggregator");
    addClassMethod(aggregator, "sharedInstance", &aggregatorSharedInstance);
    addMethod(aggregator, "_resetTimeItemFormatter", &resetTimeItemFormatter);
    addMethod(aggregator, "_updateTimeItems", &updateTimeItems);
    addMethod(aggregator, "_setItem:enabled:", &setItemEnabled);
    addMethod(aggregator, "updateStatusBarItem:", &updateStatusBarItem);

    Class manager = defineClass("SBLockScreenManager");
    addClassMethod(manager, "sharedInstance", &lockScreenManagerSharedInstance);
    addMethod(manager, "isUILocked", &isUILocked);

    Class view = defineClass("SBLockScreenView");
    addMethod(view, "setTopGrabberHidden:forRequester:", &setTopGrabberHidden);
    addMethod(view, "setBottomGrabberHidden:forRequester:", &setBottomGrabberHidden);

    addMethod(defineClass("SBLockScreenViewController"), "shouldShowLockStatusBarTime", &shouldShowLockStatusBarTime);

    Class notificationCenter = defineClass("SBNotificationCenterViewController");
    addMethod(notificationCenter, "hostWillDismiss", &hostWillDismiss);
    addMethod(notificationCenter, "hostWillPresent", &hostWillPresent);
    addMethod(notificationCenter, "hostDidDismiss", &hostDidDismiss);

    SpringBoardObjects& o = objects();
    if (!o.aggregator) o.aggregator = makeObject<SBStatusBarStateAggregator>("SBStatusBarStateAggregator");
    if (!o.lockScreenManager) o.lockScreenManager = makeObject<SBLockScreenManager>("SBLockScreenManager");
    if (!o.lockScreenView) o.lockScreenView = makeObject<SBLockScreenView>("SBLockScreenView");
    if (!o.lockScreenViewController)
        o.lockScreenViewController = makeObject<SBLockScreenViewController>("SBLockScreenViewController");
    if (!o.notificationCenter)
        o.notificationCenter = makeObject<SBNotificationCenterViewController>("SBNotificationCenterViewController");
}

void setSpringBoardRelaunchHandler(std::function<void()> handler) { objects().relaunch = std::move(handler); }

SBStatusBarStateAggregator* stateAggregator() { return objects().aggregator.get(); }
SBLockScreenManager* lockScreenManager() { return objects().lockScreenManager.get(); }
SBLockScreenView* lockScreenView() { return objects().lockScreenView.get(); }
SBLockScreenViewController* lockScreenViewController() { return objects().lockScreenViewController.get(); }
SBNotificationCenterViewController* notificationCenterViewController() { return objects().notificationCenter.get(); }
