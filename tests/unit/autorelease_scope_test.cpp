// Autoreleased host objects: a scope releases what was autoreleased inside
// it and leaves older objects to the main queue's drain.
#include <gtest/gtest.h>

#include "uikit/AutoreleasePool.h"

namespace {

struct Tracked {
    explicit Tracked(int* alive) : alive_(alive) { ++*alive_; }
    ~Tracked() { --*alive_; }
    int* alive_;
};

TEST(AutoreleaseScope, ReleasesOnlyWhatWasAutoreleasedInside) {
    zv::platform::drainAutoreleasePool();
    int outer = 0, inner = 0;
    zv::platform::autorelease(std::make_unique<Tracked>(&outer));
    {
        const zv::platform::AutoreleaseScope scope;
        zv::platform::autorelease(std::make_unique<Tracked>(&inner));
        zv::platform::autorelease(std::make_unique<Tracked>(&inner));
        EXPECT_EQ(inner, 2);
    }
    EXPECT_EQ(inner, 0);
    EXPECT_EQ(outer, 1);
    zv::platform::drainAutoreleasePool();
    EXPECT_EQ(outer, 0);
}

TEST(AutoreleaseScope, ADrainInsideTheScopeLeavesNothingForItToRelease) {
    int alive = 0;
    {
        const zv::platform::AutoreleaseScope scope;
        zv::platform::autorelease(std::make_unique<Tracked>(&alive));
        zv::platform::drainAutoreleasePool();
        EXPECT_EQ(alive, 0);
        zv::platform::autorelease(std::make_unique<Tracked>(&alive));
    }
    EXPECT_EQ(alive, 0);
}

}  // namespace
