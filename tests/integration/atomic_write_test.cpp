// Whole-file atomic replacement seen from other processes: a reader never
// meets a partial file, and a writer killed at any moment leaves the old or
// the new file, parseable, and no stray temporary file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "foundation/DeviceFiles.h"
#include "foundation/plist/PlistCodec.h"

namespace {

namespace fs = std::filesystem;

// Two recognisable whole files of different sizes, so a mix of them, or a
// truncated one, does not parse as either.
PlistDictionary generation(int n) {
    PlistDictionary dict;
    dict["generation"] = PlistValue(std::int64_t{n});
    PlistArray names;
    for (int i = 0; i < 40 + (n % 2) * 25; ++i) names.emplace_back("item " + std::to_string(n) + "/" + std::to_string(i));
    dict["default"] = PlistValue(PlistDictionary{{"data", PlistValue(std::move(names))}});
    return dict;
}

bool isWhole(const std::string& bytes) {
    auto dict = plistDictionaryFromBytes(bytes);
    if (!dict) return false;
    const PlistValue* g = plistLookup(*dict, "generation");
    if (!g || !g->integerValue()) return false;
    return *dict == generation(static_cast<int>(*g->integerValue()));
}

class AtomicWrite : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zv-atomic-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder_ = pattern;
        path_ = folder_ + "/net.quellit.zorvane.plist";
        ASSERT_TRUE(writeHostFileAtomically(path_, plistToXml(PlistValue(generation(0)))));
    }
    void TearDown() override { fs::remove_all(folder_); }

    // Forks a process that replaces the file `count` times (forever when 0).
    pid_t startWriter(int count) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            for (int n = 1; count == 0 || n <= count; ++n) {
                if (!writeHostFileAtomically(path_, plistToXml(PlistValue(generation(n))))) ::_exit(2);
            }
            ::_exit(0);
        }
        return pid;
    }

    int strayTemporaryFiles() const {
        int n = 0;
        for (const auto& entry : fs::directory_iterator(folder_))
            if (entry.path() != path_) ++n;
        return n;
    }

    std::string folder_;
    std::string path_;
};

TEST_F(AtomicWrite, ReaderNeverSeesAPartialFileWhileAnotherProcessReplacesIt) {
    const pid_t writer = startWriter(2000);
    ASSERT_GT(writer, 0);
    int reads = 0;
    int status = 0;
    while (::waitpid(writer, &status, WNOHANG) == 0) {
        auto bytes = readHostFile(path_);
        ASSERT_TRUE(bytes.has_value()) << "the file vanished during a replacement";
        ASSERT_TRUE(isWhole(*bytes)) << "partial file after " << reads << " reads";
        ++reads;
    }
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_GT(reads, 100) << "the reader should have overlapped the writer";
    EXPECT_TRUE(isWhole(*readHostFile(path_)));
    EXPECT_EQ(strayTemporaryFiles(), 0);
}

TEST_F(AtomicWrite, WriterKilledAtRandomMomentsLeavesAWholeFile) {
    std::mt19937 random(20261208);  // fixed seed: a failure can be replayed
    std::uniform_int_distribution<int> delayMicros(0, 20000);
    for (int round = 0; round < 40; ++round) {
        const pid_t writer = startWriter(0);
        ASSERT_GT(writer, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicros(random)));
        ::kill(writer, SIGKILL);
        int status = 0;
        ::waitpid(writer, &status, 0);
        auto bytes = readHostFile(path_);
        ASSERT_TRUE(bytes.has_value()) << "round " << round;
        ASSERT_TRUE(isWhole(*bytes)) << "round " << round;
        // A kill between creating and renaming the temporary file may leave it
        // behind (nothing runs after SIGKILL); it is never the target itself.
        for (const auto& entry : fs::directory_iterator(folder_))
            if (entry.path() != path_) fs::remove(entry.path());
    }
}

TEST_F(AtomicWrite, FailedRenameRemovesItsTemporaryFile) {
    // A folder in the target's place makes the final rename fail, even for root.
    const std::string target = folder_ + "/blocked.plist";
    fs::create_directory(target);
    EXPECT_FALSE(writeHostFileAtomically(target, "replacement"));
    EXPECT_TRUE(fs::is_directory(target));
    fs::remove(target);
    EXPECT_EQ(strayTemporaryFiles(), 0);
    EXPECT_TRUE(isWhole(*readHostFile(path_)));
}

TEST_F(AtomicWrite, WriteIntoAMissingFolderFailsCleanly) {
    EXPECT_FALSE(writeHostFileAtomically(folder_ + "/missing/file.plist", "x"));
    EXPECT_EQ(strayTemporaryFiles(), 0);
}

}  // namespace
