#include <nlohmann/json.hpp>

#include "LayoutEvent.h"
#include "StatusBarCommands.h"
#include "springboard/SpringBoardClasses.h"
#include "uikit/UIApplication.h"

namespace zv::device {

using control::argBool;
using control::argString;
using control::ControlChannel;
using control::ControlError;
using control::Json;

namespace {

constexpr std::int32_t kTimeItem = 0;

template <class T>
T& springBoardObject(T* object) {
    if (!object) throw ControlError("only SpringBoard has a lock screen and a notification centre");
    return *object;
}

void rebuildTimeItem() {
    UIApplication* application = sharedApplicationObject();
    if (application && application->statusBar) application->statusBar->rebuildItem(kTimeItem);
}

// The lock screen comes up with both grabbers shown, asked for by its view
// controller through the runtime.
void showLockScreen() {
    SBLockScreenView& view = springBoardObject(lockScreenView());
    id requester = lockScreenViewController();
    objc_msgSend(&view, sel_registerName("setTopGrabberHidden:forRequester:"), false, requester);
    objc_msgSend(&view, sel_registerName("setBottomGrabberHidden:forRequester:"), false, requester);
}

Json grabberJson(const GrabberState& grabber) {
    return {{"hidden", grabber.hidden}, {"requester", grabber.requester}, {"calls", grabber.calls}};
}

}  // namespace

void registerSpringBoardCommands(ControlChannel& channel, HostContext& context) {
    // {"cmd":"lock"}: the lock screen shows (grabbers asked to show) and the
    // Time item is rebuilt. {"cmd":"unlock"}: the Time item is rebuilt.
    channel.on("lock", [](const Json&) {
        springBoardObject(lockScreenManager()).locked = true;
        showLockScreen();
        rebuildTimeItem();
        return Json{{"locked", true}};
    });
    channel.on("unlock", [](const Json&) {
        springBoardObject(lockScreenManager()).locked = false;
        rebuildTimeItem();
        return Json{{"locked", false}};
    });

    // {"cmd":"notificationCenter","transition":"willPresent"|"willDismiss"|"didDismiss"}
    channel.on("notificationCenter", [&context](const Json& request) {
        SBNotificationCenterViewController& controller = springBoardObject(notificationCenterViewController());
        const std::string transition = argString(request, "transition");
        const char* selector = transition == "willPresent"   ? "hostWillPresent"
                               : transition == "willDismiss" ? "hostWillDismiss"
                               : transition == "didDismiss"  ? "hostDidDismiss"
                                                             : nullptr;
        if (!selector)
            throw ControlError("argument \"transition\" must be \"willPresent\", \"willDismiss\" or \"didDismiss\"");
        objc_msgSend(&controller, sel_registerName(selector));
        announceLayout(context);
        return Json{{"presented", controller.presented}, {"dismissing", controller.dismissing}};
    });

    // {"cmd":"grabber","which":"top","hidden":false}: the lock-screen view
    // controller asks the view to show or hide a grabber.
    channel.on("grabber", [&context](const Json& request) {
        SBLockScreenView& view = springBoardObject(lockScreenView());
        const std::string which = argString(request, "which");
        const bool hidden = argBool(request, "hidden");
        const char* selector = which == "top"      ? "setTopGrabberHidden:forRequester:"
                               : which == "bottom" ? "setBottomGrabberHidden:forRequester:"
                                                   : nullptr;
        if (!selector) throw ControlError("argument \"which\" must be \"top\" or \"bottom\"");
        id requester = lockScreenViewController();
        objc_msgSend(&view, sel_registerName(selector), hidden, requester);
        announceLayout(context);
        return Json{{"top", grabberJson(view.top)}, {"bottom", grabberJson(view.bottom)}};
    });
    channel.on("grabbers", [](const Json&) {
        SBLockScreenView& view = springBoardObject(lockScreenView());
        return Json{{"top", grabberJson(view.top)}, {"bottom", grabberJson(view.bottom)}};
    });

    // {"cmd":"shouldShowLockStatusBarTime"}
    channel.on("shouldShowLockStatusBarTime", [](const Json&) {
        SBLockScreenViewController& controller = springBoardObject(lockScreenViewController());
        return Json{{"answer", objc_msgSend<bool>(&controller, sel_registerName("shouldShowLockStatusBarTime"))}};
    });
}

}  // namespace zv::device
