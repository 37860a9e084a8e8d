// Helpers for the stand-in platform's own classes: defining a class with its
// methods, and creating host objects of a registered class.
#pragma once

#include <memory>

#include "runtime/Runtime.h"

namespace zv::platform {

// The registered class of that name, created (below `superclass`) and
// registered when it does not exist yet.
inline Class defineClass(const char* name, Class superclass = nullptr) {
    if (Class existing = objc_getClass(name)) return existing;
    Class cls = objc_allocateClassPair(superclass, name);
    objc_registerClassPair(cls);
    return cls;
}

// Adds an instance method; `imp` takes (self, _cmd, arguments...).
template <class R, class... A>
void addMethod(Class cls, const char* selector, R (*imp)(id, SEL, A...)) {
    class_addMethod(cls, sel_registerName(selector), reinterpret_cast<IMP>(imp));
}

// Adds a class method; `imp` receives the class object as self.
template <class R, class... A>
void addClassMethod(Class cls, const char* selector, R (*imp)(id, SEL, A...)) {
    class_addMethod(object_getClass(class_asObject(cls)), sel_registerName(selector), reinterpret_cast<IMP>(imp));
}

// A new host object of type T (a struct deriving from objc_object) whose
// class is the registered class `className`; without such a class every
// message to it answers nothing.
template <class T, class... A>
std::unique_ptr<T> makeObject(const char* className, A&&... args) {
    auto object = std::make_unique<T>(std::forward<A>(args)...);
    object_setClass(object.get(), objc_getClass(className));
    return object;
}

// The host object behind a receiver of one of the platform's own methods.
template <class T>
T& asHostObject(id self) {
    return *static_cast<T*>(self);
}

}  // namespace zv::platform
