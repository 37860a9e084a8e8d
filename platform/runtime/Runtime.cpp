#include "runtime/Runtime.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>

struct objc_selector {
    std::string name;
};

struct objc_class : objc_object {
    std::string name;
    Class superclass = nullptr;
    bool isMeta = false;
    bool registered = false;
    std::unordered_map<SEL, IMP> methods;
    // Resolved lookups (own and inherited, misses included); dropped whenever
    // any method table of the process changes.
    std::unordered_map<SEL, IMP> cache;
    std::uint64_t cacheGeneration = 0;
};

namespace {

struct Registry {
    std::mutex selectorMutex;  // selectors may be interned from any thread
    std::unordered_map<std::string, std::unique_ptr<objc_selector>> selectors;
    std::unordered_map<std::string, std::unique_ptr<objc_class>> classes;
    std::unordered_map<std::string, std::unique_ptr<objc_class>> metaclasses;
    std::uint64_t generation = 1;
};

Registry& registry() {
    static Registry r;
    return r;
}

IMP findUncached(Class cls, SEL sel) {
    for (Class c = cls; c; c = c->superclass) {
        auto it = c->methods.find(sel);
        if (it != c->methods.end()) return it->second;
    }
    return nullptr;
}

}  // namespace

SEL sel_registerName(const char* name) {
    if (!name) return nullptr;
    Registry& r = registry();
    std::lock_guard lock(r.selectorMutex);
    auto& slot = r.selectors[name];
    if (!slot) slot = std::make_unique<objc_selector>(objc_selector{name});
    return slot.get();
}

const char* sel_getName(SEL sel) { return sel ? sel->name.c_str() : nullptr; }

Class objc_allocateClassPair(Class superclass, const char* name) {
    if (!name) return nullptr;
    Registry& r = registry();
    if (r.classes.count(name)) return nullptr;
    auto meta = std::make_unique<objc_class>();
    meta->name = name;
    meta->isMeta = true;
    meta->superclass = superclass ? superclass->isa : nullptr;
    auto cls = std::make_unique<objc_class>();
    cls->name = name;
    cls->superclass = superclass;
    cls->isa = meta.get();
    Class result = cls.get();
    r.metaclasses[name] = std::move(meta);
    r.classes[name] = std::move(cls);
    return result;
}

void objc_registerClassPair(Class cls) {
    if (cls) cls->registered = true;
}

Class objc_getClass(const char* name) {
    if (!name) return nullptr;
    Registry& r = registry();
    auto it = r.classes.find(name);
    if (it == r.classes.end() || !it->second->registered) return nullptr;
    return it->second.get();
}

Class NSClassFromString(const char* name) { return objc_getClass(name); }

const char* class_getName(Class cls) { return cls ? cls->name.c_str() : nullptr; }
Class class_getSuperclass(Class cls) { return cls ? cls->superclass : nullptr; }
bool class_isMetaClass(Class cls) { return cls && cls->isMeta; }
Class object_getClass(id obj) { return obj ? obj->isa : nullptr; }
id class_asObject(Class cls) { return cls; }

bool class_addMethod(Class cls, SEL sel, IMP imp) {
    if (!cls || !sel || !imp) return false;
    if (!cls->methods.emplace(sel, imp).second) return false;
    ++registry().generation;
    return true;
}

IMP class_getMethodImplementation(Class cls, SEL sel) {
    if (!cls || !sel) return nullptr;
    return findUncached(cls, sel);
}

bool class_respondsToSelector(Class cls, SEL sel) { return class_getMethodImplementation(cls, sel) != nullptr; }

void MSHookMessageEx(Class cls, SEL sel, IMP replacement, IMP* result) {
    if (!cls || !sel || !replacement) return;
    IMP previous = findUncached(cls, sel);
    if (!previous) return;
    cls->methods[sel] = replacement;
    ++registry().generation;
    if (result) *result = previous;
}

namespace runtime_detail {

IMP lookup(id self, SEL sel) {
    Class cls = self->isa;
    if (!cls || !sel) return nullptr;
    const std::uint64_t generation = registry().generation;
    if (cls->cacheGeneration != generation) {
        cls->cache.clear();
        cls->cacheGeneration = generation;
    }
    auto it = cls->cache.find(sel);
    if (it != cls->cache.end()) return it->second;
    IMP imp = findUncached(cls, sel);
    cls->cache.emplace(sel, imp);
    return imp;
}

}  // namespace runtime_detail
