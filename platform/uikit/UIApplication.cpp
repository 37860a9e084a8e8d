#include "uikit/UIApplication.h"

#include "runtime/ClassDefinition.h"
#include "uikit/HostTrace.h"

using namespace zv::platform;

namespace {

std::unique_ptr<UIApplication>& shared() {
    static std::unique_ptr<UIApplication> application;
    return application;
}

id sharedApplication(id self, SEL cmd) {
    recordHostCall(self, cmd);
    return shared().get();
}

id statusBar(id self, SEL cmd) {
    recordHostCall(self, cmd);
    return asHostObject<UIApplication>(self).statusBar.get();
}

}  // namespace

UIApplication& launchSharedApplication(const char* className) {
    shared().reset();
    auto application = makeObject<UIApplication>(className);
    shared() = std::move(application);
    shared()->statusBar = UIStatusBar::make(defaultStatusBarItemTypes());
    return *shared();
}

UIApplication* sharedApplicationObject() { return shared().get(); }

void registerApplicationClass() {
    Class application = defineClass("UIApplication");
    addClassMethod(application, "sharedApplication", &sharedApplication);
    addMethod(application, "statusBar", &statusBar);
}
