#include "runtime/Runtime.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

struct objc_selector {
    std::string name;
};

struct objc_class : objc_object {
    std::string name;
    Class superclass = nullptr;
    bool isMeta = false;
    bool registered = false;
    std::unordered_map<SEL, IMP> methods;
    // Resolved lookups (own and inherited, misses included), dropped whenever
    // any method table of the process changes. Open addressing over a
    // power-of-two number of slots, so a hit costs a multiply, a mask and a
    // compare or two: the status bar sends several messages per item on
    // every layout.
    struct CacheSlot {
        SEL sel = nullptr;  // null: free
        IMP imp = nullptr;  // null: the class does not answer sel
    };
    std::vector<CacheSlot> cache;
    std::size_t cacheMask = 0;  // cache.size() - 1 while the cache has slots
    std::size_t cacheCount = 0;
    std::uint64_t cacheGeneration = 0;
};

namespace {

struct Registry {
    std::mutex selectorMutex;  // selectors may be interned from any thread
    std::unordered_map<std::string, std::unique_ptr<objc_selector>> selectors;
    std::unordered_map<std::string, std::unique_ptr<objc_class>> classes;
    std::unordered_map<std::string, std::unique_ptr<objc_class>> metaclasses;
};

// Raised by every change of any method table; outside the registry so that a
// send reads it without the registry's initialisation check.
std::uint64_t methodGeneration = 1;

Registry& registry() {
    static Registry r;
    return r;
}

std::size_t slotOf(SEL sel, std::size_t mask) {
    return static_cast<std::size_t>((reinterpret_cast<std::uintptr_t>(sel) >> 4) * 0x9E3779B97F4A7C15ull) & mask;
}

void cacheInsert(Class cls, SEL sel, IMP imp) {
    auto& slots = cls->cache;
    if ((cls->cacheCount + 1) * 2 > slots.size()) {
        std::vector<objc_class::CacheSlot> old(std::max<std::size_t>(16, slots.size() * 2));
        old.swap(slots);
        cls->cacheMask = slots.size() - 1;
        cls->cacheCount = 0;
        for (const auto& slot : old)
            if (slot.sel) cacheInsert(cls, slot.sel, slot.imp);
    }
    const std::size_t mask = cls->cacheMask;
    std::size_t i = slotOf(sel, mask);
    while (slots[i].sel) i = (i + 1) & mask;
    slots[i] = {sel, imp};
    ++cls->cacheCount;
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
    ++methodGeneration;
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
    ++methodGeneration;
    if (result) *result = previous;
}

namespace runtime_detail {

IMP lookup(id self, SEL sel) {
    Class cls = self->isa;
    if (!cls || !sel) return nullptr;
    if (cls->cacheGeneration != methodGeneration) {
        cls->cache.clear();
        cls->cacheMask = 0;
        cls->cacheCount = 0;
        cls->cacheGeneration = methodGeneration;
    }
    if (!cls->cache.empty()) {
        const objc_class::CacheSlot* slots = cls->cache.data();
        const std::size_t mask = cls->cacheMask;
        for (std::size_t i = slotOf(sel, mask);; i = (i + 1) & mask) {
            if (slots[i].sel == sel) return slots[i].imp;
            if (!slots[i].sel) break;
        }
    }
    IMP imp = findUncached(cls, sel);
    cacheInsert(cls, sel, imp);
    return imp;
}

}  // namespace runtime_detail
