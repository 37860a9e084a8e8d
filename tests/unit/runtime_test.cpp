// The object runtime and its hooking service.
#include <gtest/gtest.h>

#include <string>

#include "runtime/Runtime.h"

namespace {

Class makeClass(const char* name, Class superclass = nullptr) {
    Class cls = objc_allocateClassPair(superclass, name);
    objc_registerClassPair(cls);
    return cls;
}

template <class F>
void add(Class cls, const char* selector, F imp) {
    ASSERT_TRUE(class_addMethod(cls, sel_registerName(selector), reinterpret_cast<IMP>(imp)));
}

int answerOne(id, SEL) { return 1; }
int answerTwo(id, SEL) { return 2; }
std::string nameA(id, SEL) { return "A"; }
std::string nameB(id, SEL) { return "B"; }

using IntGetter = int (*)(id, SEL);
using StringGetter = std::string (*)(id, SEL);

IntGetter previousOfFirst = nullptr;
IntGetter previousOfSecond = nullptr;
int firstReplacement(id self, SEL cmd) { return 100 + previousOfFirst(self, cmd); }
int secondReplacement(id self, SEL cmd) { return 200 + previousOfSecond(self, cmd); }

StringGetter previousNameA = nullptr;
StringGetter previousNameB = nullptr;
std::string replacementA(id self, SEL cmd) { return "hooked " + previousNameA(self, cmd); }
std::string replacementB(id self, SEL cmd) { return "hooked " + previousNameB(self, cmd); }

bool exclusive(id, SEL, int type) { return type == 32; }
using Exclusive = bool (*)(id, SEL, int);
Exclusive previousExclusive = nullptr;
bool neverExclusive(id, SEL, int) { return false; }

}  // namespace

TEST(Runtime, SelectorsAreInternedAndClassesFoundByExactName) {
    EXPECT_EQ(sel_registerName("leftOrder"), sel_registerName(std::string("leftOrder").c_str()));
    EXPECT_NE(sel_registerName("leftOrder"), sel_registerName("rightOrder"));
    Class cls = makeClass("RtNamed");
    EXPECT_EQ(objc_getClass("RtNamed"), cls);
    EXPECT_EQ(objc_getClass("rtnamed"), nullptr);
    EXPECT_EQ(objc_allocateClassPair(nullptr, "RtNamed"), nullptr) << "a name is registered once";
}

TEST(Runtime, NullReceiverAndUnknownSelectorAnswerZero) {
    EXPECT_EQ(objc_msgSend<int>(nullptr, sel_registerName("anything")), 0);
    EXPECT_EQ(objc_msgSend<std::string>(nullptr, sel_registerName("anything")), "");
    EXPECT_EQ(objc_msgSend<id>(nullptr, sel_registerName("anything")), nullptr);
    objc_object object;
    object_setClass(&object, makeClass("RtEmpty"));
    EXPECT_FALSE(objc_msgSend<bool>(&object, sel_registerName("notThere")));
}

TEST(Runtime, InstanceAndClassMethodsAndInheritance) {
    Class base = makeClass("RtBase");
    Class derived = makeClass("RtDerived", base);
    add(base, "value", &answerOne);
    add(object_getClass(class_asObject(base)), "isExclusive:", &exclusive);
    objc_object object;
    object_setClass(&object, derived);
    EXPECT_EQ(objc_msgSend<int>(&object, sel_registerName("value")), 1);
    EXPECT_TRUE(objc_msgSendClass<bool>(derived, sel_registerName("isExclusive:"), 32));
    EXPECT_FALSE(objc_msgSendClass<bool>(derived, sel_registerName("isExclusive:"), 31));
}

TEST(Hooking, ReplacementIsInForceAndSlotKeepsThePrevious) {
    Class cls = makeClass("RtHooked");
    add(cls, "value", &answerOne);
    objc_object object;
    object_setClass(&object, cls);
    ASSERT_EQ(objc_msgSend<int>(&object, sel_registerName("value")), 1);  // fills the send cache

    MSHookMessageTyped(cls, sel_registerName("value"), &firstReplacement, &previousOfFirst);
    EXPECT_EQ(previousOfFirst, &answerOne);
    EXPECT_EQ(objc_msgSend<int>(&object, sel_registerName("value")), 101);

    // A second replacement wraps the first; each slot holds what was in force before it.
    MSHookMessageTyped(cls, sel_registerName("value"), &secondReplacement, &previousOfSecond);
    EXPECT_EQ(previousOfSecond, &firstReplacement);
    EXPECT_EQ(previousOfFirst, &answerOne);
    EXPECT_EQ(objc_msgSend<int>(&object, sel_registerName("value")), 301);
}

TEST(Hooking, TwoClassesSharingASelectorKeepSeparateSlots) {
    Class a = makeClass("RtViewA");
    Class b = makeClass("RtViewB");
    add(a, "title", &nameA);
    add(b, "title", &nameB);
    MSHookMessageTyped(a, sel_registerName("title"), &replacementA, &previousNameA);
    MSHookMessageTyped(b, sel_registerName("title"), &replacementB, &previousNameB);
    objc_object objectA, objectB;
    object_setClass(&objectA, a);
    object_setClass(&objectB, b);
    EXPECT_EQ(objc_msgSend<std::string>(&objectA, sel_registerName("title")), "hooked A");
    EXPECT_EQ(objc_msgSend<std::string>(&objectB, sel_registerName("title")), "hooked B");
}

TEST(Hooking, ClassMethodIsReplacedOnTheMetaclass) {
    Class cls = makeClass("RtItem");
    Class meta = object_getClass(class_asObject(cls));
    add(meta, "isItemWithTypeExclusive:", &exclusive);
    MSHookMessageTyped(meta, sel_registerName("isItemWithTypeExclusive:"), &neverExclusive, &previousExclusive);
    EXPECT_EQ(previousExclusive, &exclusive);
    EXPECT_FALSE(objc_msgSendClass<bool>(cls, sel_registerName("isItemWithTypeExclusive:"), 32));
    EXPECT_TRUE(previousExclusive(class_asObject(cls), sel_registerName("isItemWithTypeExclusive:"), 32));
}

TEST(Hooking, InheritedMethodIsReplacedOnTheSubclassOnly) {
    Class base = makeClass("RtInheritBase");
    Class derived = makeClass("RtInheritDerived", base);
    add(base, "value", &answerTwo);
    IntGetter previous = nullptr;
    MSHookMessageTyped(derived, sel_registerName("value"), &answerOne, &previous);
    EXPECT_EQ(previous, &answerTwo);
    objc_object baseObject, derivedObject;
    object_setClass(&baseObject, base);
    object_setClass(&derivedObject, derived);
    EXPECT_EQ(objc_msgSend<int>(&baseObject, sel_registerName("value")), 2);
    EXPECT_EQ(objc_msgSend<int>(&derivedObject, sel_registerName("value")), 1);
}

TEST(Hooking, MissingClassOrSelectorInstallsNothingAndLeavesTheSlot) {
    Class cls = makeClass("RtPartial");
    add(cls, "value", &answerOne);
    IntGetter untouched = &answerTwo;
    MSHookMessageTyped(objc_getClass("RtNoSuchClass"), sel_registerName("value"), &answerTwo, &untouched);
    EXPECT_EQ(untouched, &answerTwo);
    MSHookMessageTyped(cls, sel_registerName("noSuchSelector"), &answerTwo, &untouched);
    EXPECT_EQ(untouched, &answerTwo);
    EXPECT_FALSE(class_respondsToSelector(cls, sel_registerName("noSuchSelector")));

    // The rows around a failed one are unaffected.
    IntGetter previous = nullptr;
    MSHookMessageTyped(cls, sel_registerName("value"), &answerTwo, &previous);
    EXPECT_EQ(previous, &answerOne);
    objc_object object;
    object_setClass(&object, cls);
    EXPECT_EQ(objc_msgSend<int>(&object, sel_registerName("value")), 2);
}
