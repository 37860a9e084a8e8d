#include "HookableMethods.h"

namespace zv::device {

namespace {

struct Name {
    const char* className;
    const char* selector;
    bool classMethod;
};

// In the order of the plug-in's hook table, so a reply reads row by row.
constexpr Name kNames[] = {
    {"UIStatusBarBreadcrumbItemView", "_shouldLayoutImageOnRight", false},
    {"UIStatusBarBreadcrumbItemView", "shortenedTitleWithCompressionLevel:", false},
    {"UIStatusBarOpenInSafariItemView", "_shouldLayoutImageOnRight", false},
    {"UIStatusBarOpenInSafariItemView", "shortenedTitleWithCompressionLevel:", false},
    {"UIStatusBarBatteryPercentItemView", "updateForNewData:actions:", false},
    {"UIStatusBarBatteryItemView", "contentsImage", false},
    {"UIStatusBarItem", "isItemWithTypeExclusive:", true},
    {"UIStatusBarItem", "appearsInRegion:", false},
    {"UIStatusBarItem", "leftOrder", false},
    {"UIStatusBarItem", "centerOrder", false},
    {"UIStatusBarItem", "rightOrder", false},
    {"UIStatusBarItem", "appearsOnLeft", false},
    {"UIStatusBarItem", "appearsOnRight", false},
    {"SBLockScreenView", "setTopGrabberHidden:forRequester:", false},
    {"SBLockScreenView", "setBottomGrabberHidden:forRequester:", false},
    {"SBLockScreenViewController", "shouldShowLockStatusBarTime", false},
    {"SBNotificationCenterViewController", "hostWillDismiss", false},
    {"SBNotificationCenterViewController", "hostWillPresent", false},
    {"SBNotificationCenterViewController", "hostDidDismiss", false},
};

Class receiverClass(const HookableMethod& method) {
    Class cls = objc_getClass(method.className.c_str());
    return method.classMethod ? object_getClass(class_asObject(cls)) : cls;
}

}  // namespace

std::vector<HookableMethod> recordHookableMethods() {
    std::vector<HookableMethod> methods;
    for (const Name& name : kNames) {
        HookableMethod method{name.className, name.selector, name.classMethod, nullptr};
        method.original = class_getMethodImplementation(receiverClass(method), sel_registerName(name.selector));
        methods.push_back(std::move(method));
    }
    return methods;
}

bool isReplaced(const HookableMethod& method) {
    if (!method.original) return false;
    return class_getMethodImplementation(receiverClass(method), sel_registerName(method.selector.c_str())) !=
           method.original;
}

}  // namespace zv::device
