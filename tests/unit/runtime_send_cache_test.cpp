// The message-send cache: many selectors on one class, misses, and every
// change of a method table, seen through sends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/Runtime.h"

namespace {

template <int N>
int answer(id, SEL) {
    return N;
}
int replaced(id, SEL) { return -1; }

using Getter = int (*)(id, SEL);

template <int... N>
std::vector<Getter> getters(std::integer_sequence<int, N...>) {
    return {&answer<N>...};
}

TEST(RuntimeSendCache, ManySelectorsMissesAndChangesAreAnsweredRight) {
    Class base = objc_allocateClassPair(nullptr, "CacheBase");
    Class derived = objc_allocateClassPair(base, "CacheDerived");
    objc_registerClassPair(base);
    objc_registerClassPair(derived);
    const std::vector<Getter> imps = getters(std::make_integer_sequence<int, 100>{});
    std::vector<SEL> sels;
    for (int i = 0; i < 100; ++i) {
        sels.push_back(sel_registerName(("cacheValue" + std::to_string(i)).c_str()));
        class_addMethod(i % 2 ? base : derived, sels.back(), reinterpret_cast<IMP>(imps[static_cast<std::size_t>(i)]));
    }
    objc_object object;
    object_setClass(&object, derived);
    const SEL later = sel_registerName("cacheAddedLater");
    for (int round = 0; round < 2; ++round) {  // the second round is answered from the cache
        for (int i = 0; i < 100; ++i) ASSERT_EQ(objc_msgSend<int>(&object, sels[static_cast<std::size_t>(i)]), i);
        EXPECT_EQ(objc_msgSend<int>(&object, later), 0);
    }
    // A method added after a cached miss is found; a replacement in the
    // superclass reaches the subclass's instances.
    class_addMethod(base, later, reinterpret_cast<IMP>(&answer<7>));
    EXPECT_EQ(objc_msgSend<int>(&object, later), 7);
    IMP previous = nullptr;
    MSHookMessageEx(base, sels[1], reinterpret_cast<IMP>(&replaced), &previous);
    EXPECT_EQ(objc_msgSend<int>(&object, sels[1]), -1);
    EXPECT_EQ(reinterpret_cast<Getter>(previous)(&object, sels[1]), 1);
    for (int i = 2; i < 100; ++i) EXPECT_EQ(objc_msgSend<int>(&object, sels[static_cast<std::size_t>(i)]), i);
}

}  // namespace
