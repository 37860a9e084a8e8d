// The profile manager's memory of profile dates over real files: unchanged
// files are not read again, any replacement or rewrite is.
#include <chrono>
#include <fstream>
#include <thread>

#include "BundleTestRoot.h"
#include "ProfileDateCache.h"

namespace zv {
namespace {

using test::writeDict;

class ProfileDateCacheTest : public test::PreferencesFolderTest {
protected:
    ProfileDateCache::Reader counting() {
        return [this](const std::string& devicePath) {
            ++reads;
            return dictionaryWithContentsOfFile(devicePath);
        };
    }
    // File times advance in clock ticks: let them move past the last write.
    static void nextTick() { std::this_thread::sleep_for(std::chrono::milliseconds(30)); }

    int reads = 0;
    ProfileDateCache cache{counting(), 0.0};  // remembers files at once
    const std::string file = std::string(kPreferencesFolder) + "net.quellit.zorvane_a.plist";
};

TEST_F(ProfileDateCacheTest, ReadsAFileAgainOnlyWhenItChanged) {
    writeDict("net.quellit.zorvane_a.plist", {{kLastModified, "one"}});
    EXPECT_EQ(cache.dateOf(file), "one");
    EXPECT_EQ(cache.dateOf(file), "one");
    EXPECT_EQ(reads, 1);

    // Replaced atomically (a new file renamed over it).
    writeDict("net.quellit.zorvane_a.plist", {{kLastModified, "two"}});
    EXPECT_EQ(cache.dateOf(file), "two");
    EXPECT_EQ(reads, 2);

    // Rewritten in place with the same size.
    nextTick();
    writeToFile({{kLastModified, "six"}}, file, false);
    EXPECT_EQ(cache.dateOf(file), "six");
    EXPECT_EQ(reads, 3);

    // Damaged in place: no date, and read again once repaired.
    nextTick();
    std::ofstream(test::preferencesFile("net.quellit.zorvane_a.plist")) << "garbage";
    EXPECT_EQ(cache.dateOf(file), "");
    writeDict("net.quellit.zorvane_a.plist", {{kLastModified, "ten"}});
    EXPECT_EQ(cache.dateOf(file), "ten");
    EXPECT_EQ(reads, 5);
}

TEST_F(ProfileDateCacheTest, MissingFilesAreAlwaysAskedForAndForgottenFilesReadAfresh) {
    EXPECT_EQ(cache.dateOf(file), "");
    EXPECT_EQ(cache.dateOf(file), "");
    EXPECT_EQ(reads, 2);

    writeDict("net.quellit.zorvane_a.plist", {{kLastModified, "one"}});
    cache.dateOf(file);
    cache.forgetUnused();  // asked for in this listing: kept
    cache.dateOf(file);
    EXPECT_EQ(reads, 3);
    cache.forgetUnused();
    cache.forgetUnused();  // a listing without it: forgotten
    cache.dateOf(file);
    EXPECT_EQ(reads, 4);
}

TEST_F(ProfileDateCacheTest, FilesChangedMomentsAgoAreReadEveryTime) {
    ProfileDateCache settling(counting());
    writeDict("net.quellit.zorvane_a.plist", {{kLastModified, "one"}});
    EXPECT_EQ(settling.dateOf(file), "one");
    writeToFile({{kLastModified, "two"}}, file, false);  // maybe within the same tick
    EXPECT_EQ(settling.dateOf(file), "two");
    EXPECT_EQ(reads, 2);
}

}  // namespace
}  // namespace zv
