#include "uikit/UIKitClasses.h"

#include <cstdint>
#include <string>

#include "runtime/Runtime.h"

namespace {

Class defineClass(const char* name, Class superclass = nullptr) {
    if (Class existing = objc_getClass(name)) return existing;
    Class cls = objc_allocateClassPair(superclass, name);
    objc_registerClassPair(cls);
    return cls;
}

template <class F>
void addMethod(Class cls, const char* selector, F imp) {
    class_addMethod(cls, sel_registerName(selector), reinterpret_cast<IMP>(imp));
}

bool answerNo(id, SEL) { return false; }
bool answerYes(id, SEL) { return true; }
std::int64_t answerZero(id, SEL) { return 0; }
std::string emptyTitle(id, SEL, std::int64_t) { return {}; }
bool updateForNewData(id, SEL, id, std::int32_t) { return true; }
id noImage(id, SEL) { return nullptr; }
bool notExclusive(id, SEL, std::int32_t) { return false; }
bool appearsInRegion(id, SEL, std::int32_t region) { return region == 1; }
id noApplication(id, SEL) { return nullptr; }

}  // namespace

void registerUIKitClasses() {
    Class item = defineClass("UIStatusBarItem");
    addMethod(object_getClass(class_asObject(item)), "isItemWithTypeExclusive:", &notExclusive);
    addMethod(item, "appearsInRegion:", &appearsInRegion);
    addMethod(item, "leftOrder", &answerZero);
    addMethod(item, "centerOrder", &answerZero);
    addMethod(item, "rightOrder", &answerZero);
    addMethod(item, "appearsOnLeft", &answerNo);
    addMethod(item, "appearsOnRight", &answerYes);

    Class itemView = defineClass("UIStatusBarItemView");
    for (const char* name : {"UIStatusBarBreadcrumbItemView", "UIStatusBarOpenInSafariItemView"}) {
        Class view = defineClass(name, itemView);
        addMethod(view, "_shouldLayoutImageOnRight", &answerNo);
        addMethod(view, "shortenedTitleWithCompressionLevel:", &emptyTitle);
    }
    addMethod(defineClass("UIStatusBarBatteryPercentItemView", itemView), "updateForNewData:actions:",
              &updateForNewData);
    addMethod(defineClass("UIStatusBarBatteryItemView", itemView), "contentsImage", &noImage);

    Class application = defineClass("UIApplication");
    addMethod(object_getClass(class_asObject(application)), "sharedApplication", &noApplication);
}
