// The file manager over device paths: listing order, existence, removal and
// the error descriptions the profile manager shows.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "BundleTestRoot.h"
#include "foundation/DeviceFiles.h"
#include "foundation/NSFileManager.h"

namespace {

namespace fs = std::filesystem;

struct FileManagerFixture : ::testing::Test {
    NSFileManager& files = NSFileManager::defaultManager();
    void SetUp() override {
        ASSERT_FALSE(zv::test::kUnitDeviceRoot.empty());
        fs::remove_all(resolveDevicePath("/prefs-files"));
        fs::create_directories(resolveDevicePath("/prefs-files/sub"));
        for (const char* name : {"b.plist", "a.plist", "C.plist"})
            ASSERT_TRUE(writeHostFileAtomically(resolveDevicePath(std::string("/prefs-files/") + name), "x"));
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(resolveDevicePath("/prefs-files"), fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(resolveDevicePath("/prefs-files"), ignored);
    }
};

TEST_F(FileManagerFixture, ListsOneLevelInByteOrder) {
    NSError error;
    auto names = files.contentsOfDirectoryAtPath("/prefs-files", &error);
    ASSERT_TRUE(names);
    EXPECT_EQ(*names, (std::vector<std::string>{"C.plist", "a.plist", "b.plist", "sub"}));

    EXPECT_FALSE(files.contentsOfDirectoryAtPath("/prefs-files/none", &error));
    EXPECT_EQ(error.code, 260);
    EXPECT_FALSE(files.contentsOfDirectoryAtPath("/prefs-files/a.plist", nullptr));  // a file is no folder
}

TEST_F(FileManagerFixture, RemovesFilesAndFoldersAndDescribesFailures) {
    EXPECT_TRUE(files.fileExistsAtPath("/prefs-files/a.plist"));
    EXPECT_TRUE(files.removeItemAtPath("/prefs-files/a.plist", nullptr));
    EXPECT_FALSE(files.fileExistsAtPath("/prefs-files/a.plist"));
    EXPECT_TRUE(files.removeItemAtPath("/prefs-files/sub", nullptr));

    NSError error;
    EXPECT_FALSE(files.removeItemAtPath("/prefs-files/a.plist", &error));
    EXPECT_EQ(error.domain, "NSCocoaErrorDomain");
    EXPECT_EQ(error.code, 4);
    EXPECT_EQ(error.localizedDescription(), "\u201c" "a.plist\u201d couldn\u2019t be removed because it doesn\u2019t exist.");
    EXPECT_FALSE(files.removeItemAtPath("", &error));

    if (::geteuid() != 0) {  // root may remove from a read-only folder
        fs::permissions(resolveDevicePath("/prefs-files"), fs::perms::owner_write, fs::perm_options::remove);
        EXPECT_FALSE(files.removeItemAtPath("/prefs-files/b.plist", &error));
        EXPECT_EQ(error.code, 513);
        EXPECT_TRUE(files.fileExistsAtPath("/prefs-files/b.plist"));
    }
}

}  // namespace
