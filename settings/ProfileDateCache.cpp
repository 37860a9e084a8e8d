#include "ProfileDateCache.h"

#include <sys/stat.h>

#include <algorithm>
#include <ctime>

#include "ProfileListing.h"
#include "foundation/DeviceFiles.h"

namespace zv {

ProfileDateCache::ProfileDateCache()
    : ProfileDateCache([](const std::string& devicePath) { return dictionaryWithContentsOfFile(devicePath); }) {}

std::optional<ProfileDateCache::Identity> ProfileDateCache::identityOf(const std::string& devicePath) {
    struct stat st {};
    if (::stat(resolveDevicePath(devicePath).c_str(), &st) != 0) return std::nullopt;
    return Identity{st.st_dev,         st.st_ino,         st.st_size,        st.st_mtim.tv_sec,
                    st.st_mtim.tv_nsec, st.st_ctim.tv_sec, st.st_ctim.tv_nsec};
}

bool ProfileDateCache::settled(const Identity& identity) const {
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    auto seconds = [](long long s, long ns) { return static_cast<double>(s) + static_cast<double>(ns) * 1e-9; };
    const double latest = std::max(seconds(identity.modifiedSeconds, identity.modifiedNanoseconds),
                                   seconds(identity.changedSeconds, identity.changedNanoseconds));
    return seconds(now.tv_sec, now.tv_nsec) - latest >= settleSeconds_;
}

std::string ProfileDateCache::dateOf(const std::string& devicePath) {
    // The identity is taken before the read: a file replaced in between is
    // remembered under the old identity and so read again next time.
    const std::optional<Identity> identity = identityOf(devicePath);
    if (identity) {
        auto it = entries_.find(devicePath);
        if (it != entries_.end() && it->second.identity == *identity) {
            it->second.used = true;
            return it->second.date;
        }
    }
    std::string date = profileDate(read_(devicePath));
    if (identity && settled(*identity)) {
        entries_.insert_or_assign(devicePath, Entry{*identity, date, true});
    } else {
        entries_.erase(devicePath);
    }
    return date;
}

void ProfileDateCache::forgetUnused() {
    std::erase_if(entries_, [](const auto& item) { return !item.second.used; });
    for (auto& [path, entry] : entries_) entry.used = false;
}

}  // namespace zv
