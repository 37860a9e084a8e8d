// The dates of the profile files as last read, so that the profile
// manager's listing (built again on every appearance and after every
// action) reads only the files that changed since: with thousands of
// profiles, reading and parsing every file each time is what the user would
// wait for.
//
// A file counts as unchanged while its identity is: device, inode, size,
// modification and status-change times. Writers replace files by renaming
// a new one over the old (a new inode), and an in-place write changes the
// times, so a changed file is read again. File times advance in clock
// ticks, though, so a file changed within the last moments could change
// again without its times moving: such a file is not remembered (read every
// time) until its times are `settleSeconds` old. A file whose identity
// cannot be taken (it vanished, it cannot be reached) is read every time.
// Files not asked for in a listing are forgotten after it.
#pragma once

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>

#include "foundation/plist/PropertyList.h"

namespace zv {

class ProfileDateCache {
public:
    // Reads a file at a device path as a dictionary.
    using Reader = std::function<std::optional<PlistDictionary>(const std::string& devicePath)>;

    static constexpr double kSettleSeconds = 2.0;

    // With the platform's dictionaryWithContentsOfFile.
    ProfileDateCache();
    explicit ProfileDateCache(Reader read, double settleSeconds = kSettleSeconds)
        : read_(std::move(read)), settleSeconds_(settleSeconds) {}

    // The profile date (profileDate) of the file at the device path.
    std::string dateOf(const std::string& devicePath);
    // Ends a listing: files not asked for since the last call are dropped.
    void forgetUnused();

private:
    struct Identity {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        long long modifiedSeconds = 0;
        long modifiedNanoseconds = 0;
        long long changedSeconds = 0;
        long changedNanoseconds = 0;
        bool operator==(const Identity&) const = default;
    };
    struct Entry {
        Identity identity;
        std::string date;
        bool used = false;
    };
    static std::optional<Identity> identityOf(const std::string& devicePath);
    bool settled(const Identity& identity) const;

    Reader read_;
    double settleSeconds_ = kSettleSeconds;
    std::unordered_map<std::string, Entry> entries_;
};

}  // namespace zv
