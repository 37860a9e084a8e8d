#include "springboard/SpringBoardClasses.h"

#include "runtime/Runtime.h"

namespace {

Class defineClass(const char* name) {
    if (Class existing = objc_getClass(name)) return existing;
    Class cls = objc_allocateClassPair(nullptr, name);
    objc_registerClassPair(cls);
    return cls;
}

template <class F>
void addMethod(Class cls, const char* selector, F imp) {
    class_addMethod(cls, sel_registerName(selector), reinterpret_cast<IMP>(imp));
}

void setGrabberHidden(id, SEL, bool, id) {}
bool answerNo(id, SEL) { return false; }
void nothing(id, SEL) {}

}  // namespace

void registerSpringBoardClasses() {
    defineClass("SpringBoard");
    Class lockScreenView = defineClass("SBLockScreenView");
    addMethod(lockScreenView, "setTopGrabberHidden:forRequester:", &setGrabberHidden);
    addMethod(lockScreenView, "setBottomGrabberHidden:forRequester:", &setGrabberHidden);
    addMethod(defineClass("SBLockScreenViewController"), "shouldShowLockStatusBarTime", &answerNo);
    Class notificationCenter = defineClass("SBNotificationCenterViewController");
    addMethod(notificationCenter, "hostWillDismiss", &nothing);
    addMethod(notificationCenter, "hostWillPresent", &nothing);
    addMethod(notificationCenter, "hostDidDismiss", &nothing);
}
