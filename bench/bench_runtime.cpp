// The cost of a message send through a replaced method against the same
// send to a method that was not replaced, side by side.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "runtime/Runtime.h"

namespace {

using Getter = std::int64_t (*)(id, SEL);

std::int64_t original(id, SEL) { return 7; }
Getter previous = nullptr;
std::int64_t replacement(id self, SEL cmd) { return previous(self, cmd) + 1; }

struct Fixture {
    objc_object plain;
    objc_object hooked;
    SEL sel = sel_registerName("benchValue");

    Fixture() {
        Class plainClass = objc_allocateClassPair(nullptr, "BenchPlain");
        Class hookedClass = objc_allocateClassPair(nullptr, "BenchHooked");
        objc_registerClassPair(plainClass);
        objc_registerClassPair(hookedClass);
        class_addMethod(plainClass, sel, reinterpret_cast<IMP>(&original));
        class_addMethod(hookedClass, sel, reinterpret_cast<IMP>(&original));
        MSHookMessageTyped(hookedClass, sel, &replacement, &previous);
        object_setClass(&plain, plainClass);
        object_setClass(&hooked, hookedClass);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_SendUnreplaced(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) benchmark::DoNotOptimize(objc_msgSend<std::int64_t>(&f.plain, f.sel));
}
BENCHMARK(BM_SendUnreplaced);

void BM_SendReplaced(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) benchmark::DoNotOptimize(objc_msgSend<std::int64_t>(&f.hooked, f.sel));
}
BENCHMARK(BM_SendReplaced);

}  // namespace

