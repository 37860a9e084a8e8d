// The object runtime of the stand-in platform.
//
// Classes are registered by name, each with a metaclass that holds its class
// methods. Selectors are interned: two selectors with the same text are the
// same pointer. A method is a plain function pointer whose first two
// parameters are the receiver and the selector, followed by the method's own
// arguments. Messages are sent with the typed `objc_msgSend<R>(self, _cmd,
// args...)`; a null receiver, or a receiver whose class does not answer the
// selector, answers R{} (0, false, null, empty) and runs nothing.
//
// The registry is process-wide and lives in the platform's shared library, so
// a host process and every library injected into it see the same classes.
// Classes are registered on the main thread at start-up; lookups and sends
// happen on the main thread only.
#pragma once

#include <type_traits>

struct objc_selector;
struct objc_class;
struct objc_object;

using SEL = const objc_selector*;
using Class = objc_class*;
using id = objc_object*;
using IMP = void (*)();

// Every object begins with its class pointer. Host classes are C++ structs
// deriving from objc_object; a class object is itself an object whose class
// is its metaclass.
struct objc_object {
    Class isa = nullptr;
};

// --- Selectors -------------------------------------------------------------
SEL sel_registerName(const char* name);
const char* sel_getName(SEL sel);

// --- Classes ---------------------------------------------------------------
// Creates a class (and its metaclass) named `name` below `superclass` (may be
// null). Returns null if a class of that name exists already.
Class objc_allocateClassPair(Class superclass, const char* name);
// Makes the class visible to objc_getClass.
void objc_registerClassPair(Class cls);
// The registered class with exactly this name, or null.
Class objc_getClass(const char* name);
Class NSClassFromString(const char* name);
const char* class_getName(Class cls);
Class class_getSuperclass(Class cls);
bool class_isMetaClass(Class cls);
// The class of an object; for a class object, its metaclass.
Class object_getClass(id obj);
id class_asObject(Class cls);

// Adds a method to the class's own table. Fails (false) when the class
// itself already defines the selector.
bool class_addMethod(Class cls, SEL sel, IMP imp);
// The implementation a message to an instance of `cls` would run, following
// superclasses; null when none answers.
IMP class_getMethodImplementation(Class cls, SEL sel);
bool class_respondsToSelector(Class cls, SEL sel);

// --- Method replacement (the hooking service) ------------------------------
// Puts `replacement` in force for `sel` on `cls` and stores the
// implementation in force before in `*result` (when result is not null).
// An inherited method is replaced on `cls` only; its superclass keeps it.
// A null class, a null selector, a null replacement or a selector that the
// class does not answer installs nothing and leaves `*result` untouched.
void MSHookMessageEx(Class cls, SEL sel, IMP replacement, IMP* result);

// Typed helper: the slot's type always matches the replacement's.
template <class R, class... A>
void MSHookMessageTyped(Class cls, SEL sel, R (*replacement)(id, SEL, A...),
                        R (**slot)(id, SEL, A...)) {
    MSHookMessageEx(cls, sel, reinterpret_cast<IMP>(replacement), reinterpret_cast<IMP*>(slot));
}

// --- Message send ----------------------------------------------------------
namespace runtime_detail {
IMP lookup(id self, SEL sel);
}

template <class R = void, class... A>
R objc_msgSend(id self, SEL sel, A... args) {
    IMP imp = self ? runtime_detail::lookup(self, sel) : nullptr;
    if (!imp) {
        if constexpr (std::is_void_v<R>) return;
        else return R{};
    }
    return reinterpret_cast<R (*)(id, SEL, A...)>(imp)(self, sel, args...);
}

// Sends to a class object (a class method).
template <class R = void, class... A>
R objc_msgSendClass(Class cls, SEL sel, A... args) {
    return objc_msgSend<R, A...>(class_asObject(cls), sel, args...);
}

// Sets the class pointer of a freshly constructed host object.
inline void object_setClass(id obj, Class cls) {
    if (obj) obj->isa = cls;
}
